#!/usr/bin/python3
"""Plays the installed game from outside, as a player would: on a real X server, with real mouse
drags and key presses through xdotool, reading what it shows from screenshots (pixels, and the
status bar's text through tesseract) and checking its files byte by byte afterwards.

Every screenshot is kept in the output folder; a failing step says which step failed and keeps
the screenshot of that moment."""

import argparse
import os
import pwd
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image

TWIPS = 15  # window units per logical pixel
CLIENT_HEIGHT = 4575 // TWIPS
RING_WIDTHS = [225, 375, 495, 615, 735, 855, 975, 1095, 1215]
RING_COLOURS = [(224, 224, 224), (255, 128, 128), (255, 192, 128), (255, 255, 128),
                (128, 255, 128), (128, 255, 255), (128, 128, 255), (255, 128, 255), (0, 0, 0)]
SIGNATURE = b"Pylons1.0V1265AKPQ45"
DEFAULT_RECORD = b"Wim Kolckenberger" + b" " * 8 + b"0:00:00   " + struct.pack("<d", 9999999)
NAME = "Zoé"


class StepFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise StepFailed(message)


def opened_in(log):
    """What the fake desktop opener was given, in order: nothing before its first call."""
    try:
        with open(log) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


def solve(rings, poles):
    """The shortest way to move a tower from pole 1 to the last pole, as (from, to) pairs."""
    def count(n, pegs):
        if n <= 1:
            return n
        if pegs == 3:
            return 2 ** n - 1
        return min(2 * count(k, pegs) + count(n - k, pegs - 1) for k in range(1, n))

    moves = []

    def move(n, source, target, spares):
        if n == 0:
            return
        if n == 1:
            moves.append((source, target))
            return
        if len(spares) == 1:
            move(n - 1, source, spares[0], [target])
            moves.append((source, target))
            move(n - 1, spares[0], target, [source])
            return
        k = min(range(1, n), key=lambda k: 2 * count(k, 4) + count(n - k, 3))
        move(k, source, spares[0], [spares[1], target])
        move(n - k, source, target, [spares[1]])
        move(k, spares[0], target, [source, spares[1]])

    move(rings, 1, poles, list(range(2, poles)))
    return moves


class Player:
    def __init__(self, args):
        self.args = args
        self.scale = args.scale
        self.out = os.path.abspath(args.out)
        shutil.rmtree(self.out, ignore_errors=True)  # no pictures of an earlier run
        os.makedirs(self.out)
        self.shots = 0
        self.work = tempfile.mkdtemp(prefix="pylons-e2e-")
        # The installed tree, copied into a fresh folder: the program finds HiScore.Dat beside it.
        self.root = os.path.join(self.work, "install")
        shutil.copytree(args.prefix, self.root, symlinks=True)
        self.program = os.path.join(self.root, "bin", "pylons")
        self.scores = os.path.join(self.root, "bin", "HiScore.Dat")
        self.games = os.path.join(self.work, "games")
        os.makedirs(self.games)
        self.opened_log = os.path.join(self.work, "opened.txt")
        fake_bin = os.path.join(self.work, "fakebin")
        os.makedirs(fake_bin)
        with open(os.path.join(fake_bin, "xdg-open"), "w") as script:
            script.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % self.opened_log)
        os.chmod(os.path.join(fake_bin, "xdg-open"), 0o755)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("BROWSER", "DEFAULT_BROWSER", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                 "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS")}
        self.env.update({"PATH": fake_bin + ":" + os.environ["PATH"], "HOME": self.work,
                         "XDG_RUNTIME_DIR": self.work, "XDG_CONFIG_HOME": self.work,
                         "QT_SCALE_FACTOR": str(self.scale), "LC_ALL": "C.UTF-8"})
        self.xvfb = None
        self.wm = None
        self.game = None
        self.stacks = None
        self.user = None
        if args.story in ("package", "shared"):
            self.install_for_nobody()

    def install_for_nobody(self):
        """The game installed by root as a package installs it: a program folder the player may
        not write. The player is "nobody", with a home of its own."""
        nobody = pwd.getpwnam("nobody")
        self.user = (nobody.pw_uid, nobody.pw_gid)
        os.chmod(self.work, 0o755)
        home = os.path.join(self.work, "home")
        os.makedirs(home)
        os.chown(home, *self.user)
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700)
        os.chown(runtime, *self.user)
        self.env.update({"HOME": home, "XDG_RUNTIME_DIR": runtime,
                         "XDG_CONFIG_HOME": os.path.join(home, ".config")})
        self.env.pop("XDG_DATA_HOME", None)
        self.player_scores = os.path.join(home, ".local", "share", "pylons", "HiScore.Dat")

    # --- the X server, the window manager and the game ---

    def start_display(self):
        # A display number drawn at random from a wide range: servers that pick the first free
        # number race each other when several tests start at once.
        for _ in range(30):
            number = random.randint(1000, 31000)
            if os.path.exists("/tmp/.X%d-lock" % number) or \
                    os.path.exists("/tmp/.X11-unix/X%d" % number):
                continue
            # A private server: no TCP, open to the test's own users (the game may run as
            # nobody), and never reset between clients, which would turn a client away.
            self.xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1600x1200x24",
                                          "-nolisten", "tcp", "-ac", "-noreset"],
                                         stderr=subprocess.DEVNULL)
            self.display = ":%d" % number
            self.env["DISPLAY"] = self.display
            end = time.time() + 10
            while time.time() < end and self.xvfb.poll() is None:
                if subprocess.run(["xdpyinfo"], env=self.env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL).returncode == 0:
                    break
                time.sleep(0.1)
            else:
                self.xvfb.kill()
                continue
            break
        else:
            raise StepFailed("no Xvfb server could be started")
        if self.args.wayland:
            self.start_weston()
        elif self.args.wm:
            self.wm = subprocess.Popen([self.args.wm], env=self.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
            # A window manager that manages the screen says so on the root window.
            self.wait_for("the window manager did not start", lambda: self.wm.poll() is None and
                          "window id #" in subprocess.run(
                              ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env,
                              capture_output=True, text=True).stdout)

    def start_weston(self):
        """A Wayland compositor drawing into the X server, with the X server's mouse and keys as
        its seat; the game then runs as a Wayland client and never sees X."""
        runtime = os.path.join(self.work, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env["XDG_RUNTIME_DIR"] = runtime
        self.wm = subprocess.Popen(["weston", "--backend=x11-backend.so", "--socket=pylons-e2e",
                                    "--width=1200", "--height=900", "--idle-time=0",
                                    "--shell=kiosk-shell.so"],
                                   env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        socket = os.path.join(runtime, "pylons-e2e")
        end = time.time() + 15
        while not os.path.exists(socket):
            check(time.time() < end and self.wm.poll() is None, "weston did not start")
            time.sleep(0.1)
        del self.env["DISPLAY"]
        self.env.update({"WAYLAND_DISPLAY": "pylons-e2e", "XDG_SESSION_TYPE": "wayland"})

    def start_game(self):
        command = [self.program]
        if self.args.valgrind:
            self.valgrind_log = os.path.join(self.out, "valgrind.log")
            command = ["valgrind", "--tool=memcheck", "--error-exitcode=97",
                       "--leak-check=no", "--track-origins=yes",
                       "--suppressions=" + os.path.join(os.path.dirname(__file__), "valgrind.supp"),
                       "--log-file=" + self.valgrind_log] + command
        as_user = {}
        if self.user:
            as_user = {"user": self.user[0], "group": self.user[1], "extra_groups": []}
        self.game = subprocess.Popen(command, cwd=self.work, env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **as_user)
        if self.args.wayland:
            self.stacks = [[3, 2, 1], [], [], []]
            return
        self.main = self.wait_window("^Pylons - Level 3$")
        self.stacks = [[3, 2, 1], [], [], []]

    def stop(self):
        for process in (self.game, self.wm, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()

    # --- waiting for the thing itself ---

    def wait_for(self, what, condition, timeout=15):
        """Polls until the condition holds and returns what it gave; fails with `what` when the
        time is up. A slow machine only makes it wait longer, never pass or fail otherwise."""
        end = time.time() + timeout * (6 if self.args.valgrind else 1)
        while True:
            result = condition()
            if result:
                return result
            if time.time() > end:
                raise StepFailed(what)
            time.sleep(0.05)

    def shot_when(self, name, shows, timeout=15, settle=True):
        """A screenshot taken once the screen shows what `shows` looks for (a function of the
        image that must not raise), or the last one taken when it never does: the step's own
        checks then fail on it."""
        end = time.time() + timeout * (6 if self.args.valgrind else 1)
        while True:
            image = self.shot(name, settle)
            try:
                if shows(image):
                    return image
            except StepFailed:
                pass
            if time.time() > end:
                return image
            self.shots -= 1  # the same picture again, under its own number

    # --- looking ---

    def xdotool(self, *args, check_ok=True):
        result = subprocess.run(["xdotool", *args], env=self.x_env(), capture_output=True,
                                text=True)
        if check_ok and result.returncode != 0:
            raise StepFailed("xdotool %s: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout.strip()

    def find_window(self, pattern):
        found = self.xdotool("search", "--onlyvisible", "--name", pattern, check_ok=False)
        return found.split()[-1] if found else None

    def wait_window(self, pattern, timeout=15):
        end = time.time() + timeout * (6 if self.args.valgrind else 1)
        while time.time() < end:
            window = self.find_window(pattern)
            if window:
                return window
            check(self.game is None or self.game.poll() is None, "the game ended unexpectedly")
            time.sleep(0.1)
        raise StepFailed("no window named %s appeared" % pattern)

    def wait_gone(self, pattern, timeout=10):
        end = time.time() + timeout * (6 if self.args.valgrind else 1)
        while time.time() < end:
            if not self.find_window(pattern):
                return
            time.sleep(0.1)
        raise StepFailed("the window named %s stayed open" % pattern)

    def geometry(self, window):
        info = subprocess.run(["xwininfo", "-id", window], env=self.x_env(),
                              capture_output=True, text=True).stdout
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"))

    def shot(self, name, settle=True):
        """The whole screen, once it has stopped changing (the game may still be painting); with
        settle false, as it is at once (the solver keeps it changing)."""
        self.shots += 1
        path = os.path.join(self.out, "%02d-%s.png" % (self.shots, name))
        previous = None
        for _ in range(20 if settle else 1):
            subprocess.run(["import", "-window", "root", path], env=self.x_env(), check=True)
            image = Image.open(path).convert("RGB")
            if previous is not None and image.tobytes() == previous.tobytes():
                break
            previous = image
            time.sleep(0.1)
        return image

    def x_env(self):
        """The environment of the X tools: the X server's display, even for a Wayland game."""
        return dict(self.env, DISPLAY=self.display)

    def board_origin(self):
        if self.args.wayland:
            return self.wayland_origin
        x, y, width, height = self.geometry(self.main)
        menu = height - CLIENT_HEIGHT * self.scale
        return x, y + menu, width

    def px(self, logical):
        return int(round(logical * self.scale))

    def ring_centre(self, ring):
        """Where ring n is on the screen now, from the stacks this player keeps."""
        x0, y0, _ = self.board_origin()
        for pole, stack in enumerate(self.stacks, start=1):
            if ring in stack:
                slot = stack.index(ring) + 1
                centre_x = (590 + 1320 * (pole - 1)) / TWIPS
                top = (3720 - 360 * (slot - 1)) / TWIPS
                return x0 + self.px(centre_x), y0 + self.px(top + 12.5)
        raise StepFailed("ring %d is on no pole" % ring)

    def column_point(self, pole):
        x0, y0, _ = self.board_origin()
        return x0 + self.px((590 + 1320 * (pole - 1)) / TWIPS), y0 + self.px(110)

    def panel_text(self, image, panel):
        x0, y0, width = self.board_origin()
        first, third = self.px(80), self.px(50)
        second = max(self.px(96), min(width - first - third, self.px(213)))
        lefts = [0, first, first + second]
        widths = [first, second, third]
        box = (x0 + lefts[panel - 1], y0 + self.px(280), x0 + lefts[panel - 1] + widths[panel - 1],
               y0 + self.px(305))
        return self.ocr(image.crop(box))

    def ocr(self, image):
        big = image.convert("L").resize((image.width * 4 // self.scale, image.height * 4 // self.scale),
                                        Image.LANCZOS)
        padded = Image.new("L", (big.width + 60, big.height + 60), 255)
        padded.paste(big, (30, 30))
        path = os.path.join(self.work, "ocr.png")
        padded.save(path)
        result = subprocess.run(["tesseract", path, "-", "--psm", "6"], capture_output=True,
                                text=True)
        return " ".join(result.stdout.split())

    def moves_shown(self, image):
        text = self.panel_text(image, 1)
        found = re.search(r"(=?)\s*(\d+)\s*$", text)
        check(found, "panel 1 shows no move count: %r" % text)
        return found.group(1) == "=", int(found.group(2))

    # --- doing ---

    def focus_main(self):
        self.xdotool("windowactivate", "--sync", self.main, check_ok=False)
        self.xdotool("windowfocus", "--sync", self.main, check_ok=False)
        time.sleep(0.1)

    def drag_points(self, start, end, steps=8):
        self.xdotool("mousemove", str(start[0]), str(start[1]))
        time.sleep(0.05)
        self.xdotool("mousedown", "1")
        for step in range(1, steps + 1):
            self.xdotool("mousemove", str(start[0] + (end[0] - start[0]) * step // steps),
                         str(start[1] + (end[1] - start[1]) * step // steps))
            time.sleep(0.02)
        self.xdotool("mouseup", "1")
        time.sleep(0.15)

    def move(self, source, target):
        ring = self.stacks[source - 1][-1]
        self.drag_points(self.ring_centre(ring), self.column_point(target))
        if not self.stacks[target - 1] or self.stacks[target - 1][-1] > ring:
            self.stacks[source - 1].pop()
            self.stacks[target - 1].append(ring)

    def field_text(self):
        """What the text field with the focus holds: selected whole, copied and read back from
        the clipboard, which first holds a mark of ours so that an old copy is never read."""
        mark = "pylons-e2e-%d" % random.randint(0, 1 << 30)
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], input=mark.encode(),
                       env=self.x_env(), check=True, timeout=10)
        self.xdotool("key", "--clearmodifiers", "ctrl+a")
        self.xdotool("key", "--clearmodifiers", "ctrl+c")

        def copied():
            result = subprocess.run(["xclip", "-selection", "clipboard", "-o"], env=self.x_env(),
                                    capture_output=True, timeout=10)
            text = result.stdout.decode("utf-8", errors="replace")
            return None if result.returncode != 0 or text == mark else [text]
        return self.wait_for("the field's text never reached the clipboard", copied)[0]

    def fill_field(self, text):
        """Types into the focused field and reads it back before it is confirmed: typing a
        character the keyboard map lacks makes xdotool change the map on the fly, and a game
        that reads a key before the new map arrives loses the letter. Then it types again."""
        for _ in range(5):
            self.xdotool("key", "--clearmodifiers", "ctrl+a")
            self.xdotool("type", "--delay", "40", text)
            held = self.field_text()
            if held == text:
                return
            print("the field held %r, not %r: typed again" % (held, text), flush=True)
        raise StepFailed("the field holds %r after five tries to type %r" % (held, text))

    def keys(self, *names):
        for name in names:
            self.xdotool("key", "--clearmodifiers", name)
            time.sleep(0.15)

    def answer(self, pattern, *names, shot=None):
        window = self.wait_window(pattern)
        self.xdotool("windowfocus", "--sync", window, check_ok=False)
        time.sleep(0.2)
        image = self.shot(shot) if shot else None
        self.keys(*names)
        return window, image

    def menu(self, menu_key, item_key):
        self.focus_main()
        self.keys("alt+" + menu_key)
        self.keys(item_key)

    def choose_file(self, path):
        dialog = self.wait_window("^Pylons$")
        self.xdotool("windowfocus", "--sync", dialog, check_ok=False)
        self.fill_field(path)
        self.keys("Return")

    # --- the story ---

    def step_start_up(self):
        image = self.shot("start-up")
        check(os.path.getsize(self.scores) == 903, "HiScore.Dat is not 903 bytes")
        with open(self.scores, "rb") as f:
            check(f.read() == DEFAULT_RECORD * 21, "HiScore.Dat does not hold 21 default records")
        x, y, width, height = self.geometry(self.main)
        check(width == self.px(267), "the window is %d wide, not %d" % (width, self.px(267)))
        texts = [self.panel_text(image, n) for n in (1, 2, 3)]
        check(texts[0] == "Moves 0", "panel 1 reads %r" % texts[0])
        check(texts[1] == "Fastest time 0:00:00", "panel 2 reads %r" % texts[1])
        check(texts[2] == "0:00:00", "panel 3 reads %r" % texts[2])
        for ring in (1, 2, 3):
            colour = image.getpixel(self.ring_centre(ring))
            check(colour == RING_COLOURS[ring - 1],
                  "ring %d shows %s, not %s" % (ring, colour, RING_COLOURS[ring - 1]))

    def play_level(self, level, name_keys):
        poles = 3 if level <= 5 else 4
        self.stacks = [list(range(level, 0, -1)), [], [], []]
        for source, target in solve(level, poles)[:-1]:
            self.move(source, target)
        self.shot("level%d-one-move-left" % level)
        source, target = solve(level, poles)[-1]
        self.move(source, target)
        self.answer("^Pylons$", "Return", shot="level%d-first-place" % level)
        self.wait_gone("^Pylons$")
        self.wait_window("^Hiscore$")
        self.xdotool("windowfocus", "--sync", self.wait_window("^Hiscore$"), check_ok=False)
        if name_keys:
            self.fill_field(name_keys)
        self.shot("level%d-name" % level)
        self.keys("Return")
        self.wait_gone("^Hiscore$")
        self.answer("^Pylons$", "Return", shot="level%d-message" % level)
        self.main = self.wait_window("^Pylons - Level %d$" % (level + 1))

    def step_levels_3_to_6(self):
        self.play_level(3, NAME)
        for level in (4, 5):
            self.play_level(level, None)  # the prompt offers the name typed before
        x, y, width, height = self.geometry(self.main)
        check(width == self.px(356), "level 6 is %d wide, not %d" % (width, self.px(356)))
        self.shot("level6")
        with open(self.scores, "rb") as f:
            data = f.read()
        check(len(data) == 903, "HiScore.Dat is %d bytes" % len(data))
        name = NAME.encode("cp1252").ljust(25)
        for level, fewest in ((3, 7), (4, 15), (5, 31)):
            record = data[(level - 3) * 3 * 43:][:43]
            check(record[:25] == name, "level %d's first name is %r" % (level, record[:25]))
            check(re.fullmatch(rb"\d+:\d\d:\d\d *", record[25:35]),
                  "level %d's time is %r" % (level, record[25:35]))
            check(struct.unpack("<d", record[35:])[0] == fewest,
                  "level %d's moves are %r" % (level, struct.unpack("<d", record[35:])[0]))
            for place in (1, 2):
                other = data[((level - 3) * 3 + place) * 43:][:43]
                check(other == DEFAULT_RECORD, "level %d place %d changed" % (level, place + 1))
        check(data[9 * 43:] == DEFAULT_RECORD * 12, "levels 6 to 9 changed")

    def step_refused_and_released_over_a_ring(self):
        self.stacks = [[6, 5, 4, 3, 2, 1], [], [], []]
        self.move(1, 2)
        self.move(1, 2)  # ring 2 onto ring 1: refused, yet counted
        image = self.shot_when("refused", lambda i: self.moves_shown(i)[1] >= 2)
        check(self.moves_shown(image) == (True, 2), "after a refused drop: %r" % (self.moves_shown(image),))
        check(image.getpixel(self.ring_centre(2)) == RING_COLOURS[1], "ring 2 left pole 1")
        self.drag_points(self.ring_centre(2), self.ring_centre(1))  # released over ring 1
        image = self.shot("released-over-a-ring")
        check(self.moves_shown(image) == (True, 2), "a release over a ring counted: %r" % (self.moves_shown(image),))

    def board_crop(self, image):
        x0, y0, width = self.board_origin()
        return image.crop((x0, y0 + self.px(30), x0 + width, y0 + self.px(275)))

    def step_save_quit_and_load(self):
        before = self.board_crop(self.shot("before-save"))
        self.menu("f", "s")
        self.choose_file(os.path.join(self.games, "mygame"))
        self.wait_gone("^Pylons$")
        saved = os.path.join(self.games, "mygame.WIM")
        self.wait_for("no mygame.WIM was written",
                      lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
        with open(saved, "rb") as f:
            data = f.read()
        check(len(data) == 118, "the saved game is %d bytes" % len(data))
        check(data[:20] == SIGNATURE and data[20] == 6, "signature or level wrong: %r" % data[:21])
        check(data[21:30] == bytes([6, 5, 4, 3, 2, 0, 0, 0, 0]), "pole 1 saved as %r" % data[21:30])
        check(data[30:39] == bytes([1] + [0] * 8), "pole 2 saved as %r" % data[30:39])
        check(data[39:102] == bytes(63), "poles 3, 4 and the reserved bytes are not empty")
        check(struct.unpack("<d", data[102:110])[0] == 2, "moves saved as %r" % data[102:110])
        scores = open(self.scores, "rb").read()
        self.menu("f", "q")
        try:
            self.game.wait(10)
        except subprocess.TimeoutExpired:
            raise StepFailed("Quit did not end the game")
        check(open(self.scores, "rb").read() == scores, "quitting changed HiScore.Dat")

        self.start_game()
        self.menu("f", "o")
        self.choose_file(saved)
        self.main = self.wait_window("^Pylons - Level 6$")
        self.stacks = [[6, 5, 4, 3, 2], [1], [], []]
        image = self.shot_when("loaded", lambda i: self.moves_shown(i)[1] == 2 and
                               i.getpixel(self.ring_centre(1)) == RING_COLOURS[0])
        check(self.board_crop(image) == before, "the loaded board differs from the saved one")
        check(self.moves_shown(image) == (False, 2), "panel 1 after loading: %r" % (self.moves_shown(image),))

    def step_foreign_file(self):
        foreign = os.path.join(self.games, "foreign.WIM")
        with open(foreign, "wb") as f:
            f.write(b"PK\x03\x04 this is no game of ours" + bytes(200))
        self.menu("f", "o")
        self.choose_file(foreign)
        box = self.wait_window("^Pylons$")
        bx, by, bw, bh = self.geometry(box)
        image = self.shot_when("not-a-valid-savegame", lambda i: "Not A valid savegame" in
                               self.ocr(i.crop((bx, by, bx + bw, by + bh))), timeout=5)
        text = self.ocr(image.crop((bx, by, bx + bw, by + bh)))
        check("Not A valid savegame" in text, "the message reads %r" % text)
        self.xdotool("windowfocus", "--sync", box, check_ok=False)
        self.keys("Return")
        self.wait_gone("^Pylons$")
        check(self.find_window("^Pylons - Level 6$"), "the game left level 6")

    def opened(self):
        return opened_in(self.opened_log)

    def wait_opened(self, count):
        end = time.time() + 10
        while time.time() < end and len(self.opened()) < count:
            time.sleep(0.1)
        return self.opened()

    def step_links(self):
        self.menu("h", "w")
        check(self.wait_opened(1) == ["http://www.example.com/"], "opened %r" % self.opened())
        self.menu("h", "a")
        about = self.wait_window("^About$")
        time.sleep(0.3)
        self.shot("about")
        ax, ay, _, _ = self.geometry(about)
        for label_top in (1080, 1440):
            point = (ax + self.px(20), ay + self.px(label_top / TWIPS + 8))
            self.xdotool("mousemove", str(point[0]), str(point[1]), "click", "1")
            time.sleep(0.2)
        opened = self.wait_opened(3)
        check(opened == ["http://www.example.com/", "http://www.example.com/",
                         "mailto:pylons@example.com"], "opened %r" % opened)
        check(self.find_window("^About$"), "the About window closed")
        self.xdotool("windowfocus", "--sync", about, check_ok=False)
        self.keys("Return")
        self.wait_gone("^About$")

    def step_high_scores(self):
        self.menu("f", "h")
        window = self.wait_window("^Hiscore$")
        self.xdotool("windowfocus", "--sync", window, check_ok=False)
        self.keys("Down")
        hx, hy, _, _ = self.geometry(window)
        first_row = lambda image: self.ocr(image.crop((hx + self.px(8), hy + self.px(62),
                                                       hx + self.px(329), hy + self.px(78))))
        image = self.shot_when("hiscore-level3", lambda i: first_row(i).startswith("Zo"), timeout=5)
        text = first_row(image)
        check(text.startswith("Zo") and text.split()[-1] == "7", "the first row reads %r" % text)
        self.keys("Return")
        self.wait_gone("^Hiscore$")

    def step_play_aids(self):
        """Undo and redo with their keys, Restart level, then Solve to the end: the level's message
        comes, the next level starts, and HiScore.Dat is byte for byte as it was."""
        scores = open(self.scores, "rb").read()
        self.focus_main()
        self.stacks = [[6, 5, 4, 3, 2], [1], [], []]
        self.move(1, 3)
        self.keys("ctrl+z")
        self.stacks = [[6, 5, 4, 3, 2], [1], [], []]
        image = self.shot_when("undone", lambda i: self.moves_shown(i)[1] >= 4)
        check(image.getpixel(self.ring_centre(2)) == RING_COLOURS[1], "ring 2 is not back on pole 1")
        check(self.moves_shown(image) == (True, 4), "after Ctrl+Z: %r" % (self.moves_shown(image),))
        self.keys("ctrl+shift+z")
        self.stacks = [[6, 5, 4, 3], [1], [2], []]
        image = self.shot_when("redone", lambda i: self.moves_shown(i)[1] >= 5)
        check(image.getpixel(self.ring_centre(2)) == RING_COLOURS[1], "ring 2 is not on pole 3 again")
        check(self.moves_shown(image) == (True, 5), "after Ctrl+Shift+Z: %r" % (self.moves_shown(image),))
        self.menu("g", "s")
        self.stacks = [[6, 5, 4, 3, 2, 1], [], [], []]
        image = self.shot_when("restarted", lambda i: self.panel_text(i, 1) == "Moves 0")
        check(self.panel_text(image, 1) == "Moves 0", "after a restart: %r" % self.panel_text(image, 1))
        check(self.panel_text(image, 3) == "0:00:00", "the clock reads %r" % self.panel_text(image, 3))
        for ring in (1, 2, 6):
            check(image.getpixel(self.ring_centre(ring)) == RING_COLOURS[ring - 1],
                  "ring %d is not back in the tower" % ring)
        self.menu("g", "o")
        image = self.shot_when("solving", lambda i: self.moves_shown(i)[1] >= 1, settle=False)
        shown = self.moves_shown(image)
        check(shown[0] and 1 <= shown[1] <= 12, "the solver is not moving visibly: %r" % (shown,))
        self.answer("^Pylons$", "Return", shot="solved-level6-message")
        self.main = self.wait_window("^Pylons - Level 7$")
        check(open(self.scores, "rb").read() == scores, "a solved level changed HiScore.Dat")

    def find_colour(self, image, colour):
        """The top-left corner of the area in that colour: a ring, found by its pixels."""
        width, height = image.size
        data = image.load()
        for y in range(height):
            for x in range(width):
                if data[x, y] == colour:
                    return x, y
        raise StepFailed("nothing on the screen has the colour %s" % (colour,))

    def step_wayland_start_and_play(self):
        end = time.time() + 20
        while not os.path.exists(self.scores):
            check(time.time() < end and self.game.poll() is None, "the game did not start")
            time.sleep(0.1)

        def board_found(image):
            # Ring 2 sits second from the bottom of pole 1: its left edge (inside the raised
            # border) and top tell where the board is, once the game has drawn its window.
            x, y = self.find_colour(image, RING_COLOURS[1])
            left = (590 - 375 / 2) / TWIPS
            self.wayland_origin = (x - 1 - int(round(left)), y - 1 - 3360 // TWIPS, self.px(267))
            return image.getpixel(self.ring_centre(3)) == RING_COLOURS[2]
        image = self.shot_when("wayland-start", board_found, timeout=20)
        check(hasattr(self, "wayland_origin"), "the board never showed")
        for ring in (1, 3):
            check(image.getpixel(self.ring_centre(ring)) == RING_COLOURS[ring - 1],
                  "ring %d is not where the board says" % ring)
        for source, target in solve(3, 3)[:-1]:
            self.move(source, target)
        image = self.shot_when("wayland-one-move-left", lambda i: self.moves_shown(i)[1] >= 6)
        check(self.moves_shown(image) == (True, 6), "panel 1 reads %r" % self.panel_text(image, 1))
        for ring in (1, 2, 3):
            check(image.getpixel(self.ring_centre(ring)) == RING_COLOURS[ring - 1],
                  "ring %d is not where it was dragged" % ring)

    def step_quit(self):
        if self.args.wayland:
            return
        self.menu("f", "q")
        self.game.wait(120 if self.args.valgrind else 10)

    def step_level_3_under_memcheck(self):
        self.play_level(3, NAME)
        self.shot("memcheck-level4")

    def step_memcheck_clean(self):
        check(self.game.returncode == 0, "the game ended with %s under memcheck" % self.game.returncode)
        with open(self.valgrind_log) as log:
            text = log.read()
        summary = re.search(r"ERROR SUMMARY: (\d+) errors", text)
        check(summary and summary.group(1) == "0", "memcheck reports errors, see %s" % self.valgrind_log)

    def quit_and_wait(self):
        self.menu("f", "q")
        try:
            self.game.wait(10)
        except subprocess.TimeoutExpired:
            raise StepFailed("Quit did not end the game")

    def first_record(self, path):
        with open(path, "rb") as f:
            data = f.read()
        check(len(data) >= 903, "%s is %d bytes" % (path, len(data)))
        return data[:25], data[25:35].decode("cp1252").rstrip(), struct.unpack("<d", data[35:43])[0]

    def step_package_layout(self):
        """Installed as a package: the program folder is root's and holds no HiScore.Dat, so the
        scores go to the player's own data folder, and stay there for the next start."""
        check(os.stat(os.path.dirname(self.program)).st_uid == 0, "the program folder is not root's")
        check(not os.path.exists(self.scores), "a HiScore.Dat appeared beside the program")
        check(os.path.exists(self.player_scores), "no HiScore.Dat in the player's data folder")
        check(os.stat(self.player_scores).st_uid == self.user[0], "the player's file is not theirs")
        self.play_level(3, NAME)
        name, time_text, moves = self.first_record(self.player_scores)
        check(name == NAME.encode("cp1252").ljust(25) and moves == 7,
              "the player's file holds %r, %r" % (name, moves))
        self.quit_and_wait()
        self.start_game()
        image = self.shot("package-second-start")
        shown = self.panel_text(image, 2)
        check(shown == "Fastest time " + time_text,
              "the second start shows %r, not the kept %r" % (shown, time_text))
        check(not os.path.exists(self.scores), "a HiScore.Dat appeared beside the program")

    def step_shared_layout(self):
        """A shared install: the program folder is root's, its HiScore.Dat writable by all. A
        player's result is written into that file where it stands: same file, owner and mode."""
        before = os.stat(self.scores)
        self.play_level(3, NAME)
        after = os.stat(self.scores)
        check((after.st_ino, after.st_uid, after.st_gid, after.st_mode) ==
              (before.st_ino, before.st_uid, before.st_gid, before.st_mode),
              "the shared file was replaced or changed hands")
        name, _, moves = self.first_record(self.scores)
        check(name == NAME.encode("cp1252").ljust(25) and moves == 7,
              "the shared file holds %r, %r" % (name, moves))
        check(not os.path.exists(self.player_scores), "scores went to the player's own folder")

    def step_hidpi_start_and_drag(self):
        image = self.shot("scale%d-start" % self.scale)
        x, y, width, height = self.geometry(self.main)
        check(width == 267 * self.scale, "the window is %d wide" % width)
        for ring in (1, 2, 3):
            check(image.getpixel(self.ring_centre(ring)) == RING_COLOURS[ring - 1],
                  "ring %d is not its colour" % ring)
        self.move(1, 3)
        image = self.shot_when("scale%d-after-a-drag" % self.scale,
                               lambda i: self.moves_shown(i)[1] >= 1)
        check(self.moves_shown(image) == (True, 1), "panel 1 reads %r" % self.panel_text(image, 1))
        check(image.getpixel(self.ring_centre(1)) == RING_COLOURS[0], "ring 1 is not on pole 3")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True, help="the installed tree (bin/pylons, share/...)")
    parser.add_argument("--out", required=True, help="where the screenshots go")
    parser.add_argument("--wm", help="a window manager to run, e.g. openbox")
    parser.add_argument("--scale", type=int, default=1, help="QT_SCALE_FACTOR")
    parser.add_argument("--story",
                        choices=["full", "hidpi", "wayland", "memcheck", "package", "shared"],
                        default="full")
    args = parser.parse_args()
    args.wayland = args.story == "wayland"
    args.valgrind = args.story == "memcheck"

    if args.story in ("package", "shared") and os.geteuid() != 0:
        print("the install stories set up a program folder as root; run as root to play them")
        return 77
    player = Player(args)
    if args.story == "shared":
        with open(player.scores, "wb") as f:
            f.write(DEFAULT_RECORD * 21)
        os.chmod(player.scores, 0o666)
    if args.story == "full":
        steps = [player.step_start_up, player.step_levels_3_to_6,
                 player.step_refused_and_released_over_a_ring, player.step_save_quit_and_load,
                 player.step_foreign_file, player.step_links, player.step_high_scores,
                 player.step_play_aids, player.step_quit]
    elif args.story == "memcheck":
        steps = [player.step_level_3_under_memcheck, player.step_quit, player.step_memcheck_clean]
    elif args.story == "package":
        steps = [player.step_package_layout, player.step_quit]
    elif args.story == "shared":
        steps = [player.step_shared_layout, player.step_quit]
    elif args.story == "hidpi":
        steps = [player.step_hidpi_start_and_drag, player.step_quit]
    else:
        steps = [player.step_wayland_start_and_play]
    current = "starting the display and the game"
    try:
        player.start_display()
        player.start_game()
        for step in steps:
            current = step.__name__[len("step_"):].replace("_", " ")
            print("step:", current, flush=True)
            step()
        print("all steps passed; screenshots in", player.out)
        return 0
    except (StepFailed, subprocess.CalledProcessError, OSError) as failure:
        print("FAILED at step '%s': %s" % (current, failure), flush=True)
        try:
            player.shot("failed-" + current.replace(" ", "-"))
        except Exception:
            pass
        if player.game and player.game.poll() is not None and player.game.stderr:
            print(player.game.stderr.read().decode(errors="replace")[-2000:])
        return 1
    finally:
        player.stop()
        shutil.rmtree(player.work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
