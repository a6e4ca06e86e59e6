#!/usr/bin/python3
"""Plays the Windows game under wine, from outside, as a player would: a fresh wine prefix, an X
server with a window manager, real mouse drags and keys through xdotool, what it shows read from
screenshots, and HiScore.Dat checked byte by byte. Level 3 is played to its end: a drag, the
keys, a refused drop, the place message, the name prompt and the level message; then level 4.

  play_under_wine.py --exe build/windows/bin/Pylons.exe --out build/windows/e2e"""

import argparse
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_as_player import (CLIENT_HEIGHT, DEFAULT_RECORD, RING_COLOURS, TWIPS,  # noqa: E402
                            StepFailed, check, opened_in, solve)

WINE = "/usr/lib/wine/wine64"


class WinePlayer:
    def __init__(self, args):
        self.out = os.path.abspath(args.out)
        shutil.rmtree(self.out, ignore_errors=True)
        os.makedirs(self.out)
        self.work = tempfile.mkdtemp(prefix="pylons-wine-")
        self.folder = os.path.join(self.work, "game")
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "Pylons.exe")
        shutil.copy(args.exe, self.exe)
        self.lister = args.list_controls
        self.window_tests = getattr(args, "window_tests", None)
        self.games = os.path.join(self.work, "games")
        os.makedirs(self.games)
        # The shell's "open" reaches the desktop's opener through wine's browser bridge; a fake
        # one records what it was given.
        self.opened_log = os.path.join(self.work, "opened.txt")
        fake_bin = os.path.join(self.work, "fakebin")
        os.makedirs(fake_bin)
        for opener in ("xdg-open", "xdg-email"):
            with open(os.path.join(fake_bin, opener), "w") as script:
                script.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\n' % self.opened_log)
            os.chmod(os.path.join(fake_bin, opener), 0o755)
        self.scores = os.path.join(self.folder, "HiScore.Dat")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS")}
        self.env.update({"WINEPREFIX": os.path.join(self.work, "prefix"), "WINEDEBUG": "-all",
                         "WINEDLLOVERRIDES": "mscoree,mshtml=", "HOME": self.work,
                         "PATH": fake_bin + ":" + os.environ["PATH"]})
        self.run_as = []
        self.scale = 1  # the screen's DPI over 96
        self.processes = []
        self.shots = 0
        self.stacks = [[3, 2, 1], [], []]

    def wine(self, *args):
        """A command run by wine as the player (run_as: the unprivileged user, when root)."""
        return self.run_as + [WINE, *args]

    def wineserver(self, *args):
        return self.run_as + [os.path.join(os.path.dirname(WINE), "wineserver"), *args]

    def start(self):
        self.start_desktop()
        self.make_prefix()
        # Wine hands a mailto: link to the first of its mailers it can start, and its list
        # begins with /usr/bin/open, which on Debian is another program (kbd's openvt): the
        # desktop's own mailer is set, as a player would set it.
        subprocess.run(self.wine("reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Mailers",
                                 "/t", "REG_SZ", "/d", "xdg-email", "/f"), env=self.env,
                       capture_output=True, timeout=60, check=True)
        self.game = subprocess.Popen(self.wine(self.exe), cwd=self.folder, env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(self.game)
        self.main = self.wait_window("^Pylons - Level 3$")

    def start_desktop(self):
        """Xvfb with openbox."""
        for _ in range(30):
            number = random.randint(1000, 31000)
            if os.path.exists("/tmp/.X%d-lock" % number):
                continue
            xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1024x768x24",
                                     "-nolisten", "tcp", "-noreset"], stderr=subprocess.DEVNULL)
            self.env["DISPLAY"] = ":%d" % number
            if self.wait_for(lambda: xvfb.poll() is None and subprocess.run(
                    ["xdpyinfo"], env=self.env, capture_output=True).returncode == 0,
                    "", timeout=10, fail=False):
                self.processes.append(xvfb)
                break
            xvfb.kill()
        else:
            raise StepFailed("no Xvfb server could be started")
        wm = subprocess.Popen(["openbox"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        self.processes.append(wm)
        self.wait_for(lambda: "window id #" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True,
            text=True).stdout, "openbox did not start")

    def make_prefix(self):
        """A fresh prefix. Making one is set-up, not the game: wine has been seen to give up on
        it now and then (exit status 53 at once), so it is made afresh up to three times, and
        what wine said is kept in wineboot.log."""
        with open(os.path.join(self.out, "wineboot.log"), "w") as log:
            for attempt in range(3):
                shutil.rmtree(self.env["WINEPREFIX"], ignore_errors=True)
                made = subprocess.run(self.wine("wineboot", "-i"), env=self.env, stdout=log,
                                      stderr=log, timeout=240)
                log.write("attempt %d: exit status %d\n" % (attempt + 1, made.returncode))
                log.flush()
                if made.returncode == 0:
                    break
                subprocess.run(self.wineserver("-k"), env=self.env, capture_output=True,
                               timeout=30)
            else:
                raise StepFailed("wine could not make a prefix; see wineboot.log")

    def stop(self):
        subprocess.run(self.wineserver("-k"), env=self.env, capture_output=True, timeout=30)
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(self.work, ignore_errors=True)

    def wait_for(self, condition, what, timeout=30, fail=True):
        end = time.time() + timeout
        while time.time() < end:
            result = condition()
            if result:
                return result
            time.sleep(0.1)
        if fail:
            raise StepFailed(what)
        return None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True,
                              text=True).stdout.strip()

    def wait_window(self, pattern):
        found = self.wait_for(lambda: self.xdotool("search", "--onlyvisible", "--name", pattern),
                              "no window named %s appeared" % pattern)
        return found.split()[-1]

    def wait_gone(self, pattern):
        self.wait_for(lambda: not self.xdotool("search", "--onlyvisible", "--name", pattern),
                      "the window named %s stayed open" % pattern)

    def shot(self, name):
        self.shots += 1
        path = os.path.join(self.out, "%02d-%s.png" % (self.shots, name))
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True)
        return Image.open(path).convert("RGB")

    def shot_when(self, name, shows, timeout=15):
        end = time.time() + timeout
        while True:
            image = self.shot(name)
            if shows(image) or time.time() > end:
                return image
            self.shots -= 1

    def origin(self):
        """The board's top-left corner on the screen: below the menu bar of the window."""
        info = subprocess.run(["xwininfo", "-id", self.main], env=self.env, capture_output=True,
                              text=True).stdout
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"),
                value("Absolute upper-left Y") + value("Height") - CLIENT_HEIGHT * self.scale)

    def ring_centre(self, ring):
        x0, y0 = self.origin()
        for pole, stack in enumerate(self.stacks, start=1):
            if ring in stack:
                slot = stack.index(ring) + 1
                return (x0 + (590 + 1320 * (pole - 1)) * self.scale // TWIPS,
                        y0 + ((3720 - 360 * (slot - 1)) // TWIPS + 12) * self.scale)
        raise StepFailed("ring %d is on no pole" % ring)

    def column_point(self, pole):
        x0, y0 = self.origin()
        return x0 + (590 + 1320 * (pole - 1)) * self.scale // TWIPS, y0 + 110 * self.scale

    def drag(self, source, target):
        ring = self.stacks[source - 1][-1]
        self.press_and_move(self.ring_centre(ring), self.column_point(target))
        self.xdotool("mouseup", "1")
        self.moved(source, target)

    def moved(self, source, target):
        ring = self.stacks[source - 1][-1]
        if not self.stacks[target - 1] or self.stacks[target - 1][-1] > ring:
            self.stacks[source - 1].pop()
            self.stacks[target - 1].append(ring)

    def keys(self, *names):
        for name in names:
            self.xdotool("key", "--clearmodifiers", name)
            time.sleep(0.1)

    def rings_shown(self, image, rings=3):
        return all(image.getpixel(self.ring_centre(r)) == RING_COLOURS[r - 1]
                   for r in range(1, rings + 1))

    # --- the story ---

    def step_start(self):
        self.size_at_96 = self.window_size()
        image = self.shot_when("start", self.rings_shown)
        check(self.rings_shown(image), "the tower is not drawn on pole 1")
        with open(self.scores, "rb") as f:
            check(f.read() == DEFAULT_RECORD * 21, "HiScore.Dat does not hold 21 default records")

    def step_controls_named(self):
        """Every control a screen reader reaches has a name: the rings and poles as the game
        describes them, the status panels as they read."""
        result = subprocess.run(self.wine(self.lister, "Pylons - Level 3"), env=self.env,
                                capture_output=True, timeout=60)
        listing = result.stdout.decode("utf-8", errors="replace")
        with open(os.path.join(self.out, "controls.txt"), "w") as f:
            f.write(listing)
        check(result.returncode == 0, "controls without a name:\n" + listing)
        self.check_icon()
        for words in ("Ring 1 on pole 1, can be moved", "Ring 3 on pole 1", "Pole 1",
                      "status panel 1: Moves 0", "status panel 2: Fastest time 0:00:00"):
            check(words in listing, "%r is not among the controls:\n%s" % (words, listing))

    def check_icon(self):
        # The icon the taskbar and the window list show, as wine hands it to the desktop: the
        # .exe's own, with the tower's red, yellow and green rings.
        raw = subprocess.run(["xprop", "-id", str(self.main), "-notype", "-f", "_NET_WM_ICON",
                              "32c", "=$0+", "_NET_WM_ICON"], env=self.env, capture_output=True,
                             text=True, timeout=30).stdout
        numbers = [int(n) for n in re.findall(r"\d+", raw.partition("=")[2])]
        check(len(numbers) > 2, "the window has no icon: " + raw[:200])
        width, height = numbers[0], numbers[1]
        pixels = numbers[2:2 + width * height]
        colours = {p & 0xFFFFFF for p in pixels if p >> 24 >= 128}
        for name, rgb in (("red", 0xFF0000), ("yellow", 0xFFFF00), ("green", 0x00FF00)):
            check(rgb in colours, "the %dx%d icon has no %s ring" % (width, height, name))
        print("icon %dx%d, %d colours" % (width, height, len(colours)), flush=True)

    def step_drag_and_keys(self):
        self.drag(1, 3)  # a real drag: ring 1 to pole 3
        image = self.shot_when("dragged", self.rings_shown)
        check(self.rings_shown(image), "ring 1 did not land on pole 3")
        self.xdotool("windowactivate", "--sync", self.main)
        self.keys("1", "3")  # ring 2 onto ring 1: refused
        self.keys("1", "2")  # ring 2 to pole 2
        self.moved(1, 2)
        image = self.shot_when("keys", self.rings_shown)
        check(self.rings_shown(image), "the keys did not move ring 2 to pole 2")

    def panel(self, number):
        """A status panel's text, read as a screen reader reads it."""
        found = re.search(r"status panel %d: (.*)" % number, self.controls("Pylons - Level 3"))
        check(found is not None, "status panel %d cannot be read" % number)
        return found.group(1).strip()

    def press_and_move(self, start, end):
        self.xdotool("mousemove", str(start[0]), str(start[1]))
        self.xdotool("mousedown", "1")
        for step in range(1, 9):
            self.xdotool("mousemove", str(start[0] + (end[0] - start[0]) * step // 8),
                         str(start[1] + (end[1] - start[1]) * step // 8))
            time.sleep(0.02)

    def step_released_over_a_ring_and_escape(self):
        """A ring released over another ring, and a drag ended by Escape: neither moves a ring
        nor counts."""
        moves = self.panel(1)
        self.press_and_move(self.ring_centre(2), self.ring_centre(3))
        self.xdotool("mouseup", "1")
        image = self.shot("released-over-a-ring")
        check(self.rings_shown(image), "a release over ring 3 moved a ring")
        check(self.panel(1) == moves, "a release over a ring counted: %s" % self.panel(1))
        self.press_and_move(self.ring_centre(2), self.column_point(3))
        # Without --clearmodifiers, which would let go of the held button first.
        self.xdotool("key", "Escape")
        self.xdotool("mouseup", "1")
        image = self.shot("escaped")
        check(self.rings_shown(image), "Escape during a drag did not put ring 2 back")
        check(self.panel(1) == moves, "a drag ended by Escape counted: %s" % self.panel(1))

    def menu(self, menu_key, item_key):
        self.xdotool("windowactivate", "--sync", self.main)
        self.keys("alt+" + menu_key)
        self.keys(item_key)

    def choose_file(self, path):
        dialog = self.wait_window("^Pylons$")
        self.xdotool("windowactivate", "--sync", dialog)
        self.keys("ctrl+a")
        # Wine shows the machine's root as drive Z:.
        self.xdotool("type", "--delay", "30", "Z:" + path.replace("/", "\\"))
        self.shot("file-dialog")
        self.keys("Return")

    def step_save_and_load(self):
        self.menu("f", "s")
        self.choose_file(os.path.join(self.games, "mygame"))
        # The default extension, in the case the dialog gives it (Windows' names ignore case).
        def written():
            names = [n for n in os.listdir(self.games) if n.lower() == "mygame.wim"]
            path = os.path.join(self.games, names[0]) if names else None
            return path if path and os.path.getsize(path) == 118 else None
        saved = self.wait_for(written, "no mygame.WIM of 118 bytes was written")
        with open(saved, "rb") as f:
            data = f.read()
        check(data[:21] == b"Pylons1.0V1265AKPQ45" + bytes([3]), "signature or level: %r" % data[:21])
        check(data[21:48] == bytes([3, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0,
                                    1, 0, 0, 0, 0, 0, 0, 0, 0]), "the poles saved as %r" % data[21:48])
        self.keys("3", "1")  # a move after saving, which loading takes back
        self.moved(3, 1)
        self.menu("f", "o")
        self.choose_file(saved)
        self.stacks = [[3], [2], [1]]
        image = self.shot_when("loaded", self.rings_shown)
        check(self.rings_shown(image), "the loaded board differs from the saved one")

        foreign = os.path.join(self.games, "foreign.WIM")
        with open(foreign, "wb") as f:
            f.write(b"PK\x03\x04 this is no game of ours" + bytes(200))
        self.menu("f", "o")
        self.choose_file(foreign)
        self.wait_window("^Pylons$")
        self.shot("not-a-valid-savegame")
        self.keys("Return")
        self.wait_gone("^Pylons$")
        check(self.rings_shown(self.shot("after-refusal")), "the refused file changed the board")

    def opened(self):
        return opened_in(self.opened_log)

    def controls(self, title):
        """What the control lister reads of a window of the game's."""
        result = subprocess.run(self.wine(self.lister, title), env=self.env, capture_output=True,
                                timeout=60)
        return result.stdout.decode("utf-8", errors="replace")

    def step_links_and_windows(self):
        self.menu("h", "w")
        self.wait_for(lambda: self.opened() == ["http://www.example.com/"],
                      "the web site was not opened: %r" % self.opened())
        self.menu("h", "a")
        about = self.wait_window("^About$")
        self.shot("about")
        # The blue links, clicked: the web site, then a mail.
        listing = self.controls("About")
        for text, opened in (("http://www.example.com/", "http://www.example.com/"),
                             ("pylons@example.com", "mailto:pylons@example.com")):
            place = re.search(r"Static: %s @ (\d+),(\d+)" % re.escape(text), listing)
            check(place is not None, "About shows no link %s:\n%s" % (text, listing))
            before = self.opened()
            self.xdotool("mousemove", place.group(1), place.group(2))
            self.xdotool("click", "1")
            self.wait_for(lambda: self.opened()[len(before):] == [opened],
                          "clicking %s opened %r:\n%s" % (text, self.opened()[len(before):],
                                                             listing))
        self.xdotool("windowactivate", "--sync", about)
        self.keys("Return")
        self.wait_gone("^About$")
        self.menu("f", "h")
        scores = self.wait_window("^Hiscore$")
        self.xdotool("windowactivate", "--sync", scores)
        self.keys("Down")
        self.shot("hiscore")
        self.keys("Escape")
        self.wait_gone("^Hiscore$")

    def step_finish_level_3(self):
        for source, target in ((3, 2), (1, 3), (2, 1), (2, 3), (1, 3)):
            self.keys(str(source), str(target))
        self.wait_window("^Pylons$")
        self.shot("first-place")
        self.keys("Return")
        prompt = self.wait_window("^Hiscore$")
        self.xdotool("windowactivate", "--sync", prompt)
        self.keys("ctrl+a")
        self.xdotool("type", "--delay", "50", "Ann")
        self.shot("name")
        self.keys("Return")
        self.wait_gone("^Hiscore$")
        self.wait_window("^Pylons$")
        self.shot("next-level")
        self.keys("Return")
        self.main = self.wait_window("^Pylons - Level 4$")
        self.shot("level4")
        # The high-score window shows the new result in level 3's list.
        self.menu("f", "h")
        scores = self.wait_window("^Hiscore$")
        self.xdotool("windowactivate", "--sync", scores)
        self.keys("Home")
        listing = self.wait_for(lambda: re.search(r"row 1: Ann \| \d+:\d\d:\d\d \| 8\b",
                                                  self.controls("Hiscore")) and
                                self.controls("Hiscore"), "level 3's list shows no Ann")
        self.shot("hiscore-level3")
        check("row 2: Wim Kolckenberger | 0:00:00 | 9999999" in listing,
              "level 3's second row is not the default:\n" + listing)
        self.keys("Escape")
        self.wait_gone("^Hiscore$")
        self.xdotool("windowactivate", "--sync", self.main)
        with open(self.scores, "rb") as f:
            data = f.read()
        check(len(data) == 903, "HiScore.Dat is %d bytes" % len(data))
        check(data[:25] == b"Ann".ljust(25), "level 3's first name is %r" % data[:25])
        check(struct.unpack("<d", data[35:43])[0] == 8, "level 3's moves are %r" % data[35:43])
        check(data[43:] == DEFAULT_RECORD * 20, "other records changed")

    def step_play_aids(self):
        """Undo and Redo with their keys, Restart level, then Solve to the end of level 4: its
        message comes, level 5 starts, and HiScore.Dat is byte for byte as it was."""
        with open(self.scores, "rb") as f:
            scores = f.read()
        self.xdotool("windowactivate", "--sync", self.main)
        self.stacks = [[4, 3, 2, 1], [], [], []]
        self.keys("1", "2")
        self.keys("ctrl+z")
        image = self.shot_when("undone", lambda i: self.rings_shown(i, 4))
        check(self.rings_shown(image, 4), "Ctrl+Z did not put ring 1 back")
        self.keys("ctrl+shift+z")
        self.stacks = [[4, 3, 2], [1], [], []]
        image = self.shot_when("redone", lambda i: self.rings_shown(i, 4))
        check(self.rings_shown(image, 4), "Ctrl+Shift+Z did not move ring 1 again")
        self.menu("g", "s")
        self.stacks = [[4, 3, 2, 1], [], [], []]
        image = self.shot_when("restarted", lambda i: self.rings_shown(i, 4))
        check(self.rings_shown(image, 4), "Restart did not put the tower back")
        self.menu("g", "o")
        self.wait_window("^Pylons$")  # the level's message, and no place
        self.shot("solved")
        self.keys("Return")
        self.main = self.wait_window("^Pylons - Level 5$")
        with open(self.scores, "rb") as f:
            check(f.read() == scores, "a solved level changed HiScore.Dat")

    def step_levels_5_to_9(self):
        """Each level in the fewest moves, by keys: every one places first under the name
        offered from last time, and the last one ends the game when asked to quit."""
        for level in range(5, 10):
            self.main = self.wait_window("^Pylons - Level %d$" % level)
            self.xdotool("windowactivate", "--sync", self.main)
            for source, target in solve(level, 3 if level <= 5 else 4):
                self.keys(str(source), str(target))
            self.wait_window("^Pylons$")
            self.keys("Return")  # first place
            self.xdotool("windowactivate", "--sync", self.wait_window("^Hiscore$"))
            self.keys("Return")  # the name offered: the one typed last time
            self.wait_gone("^Hiscore$")
            self.wait_window("^Pylons$")
            self.shot("level%d-message" % level)
            self.keys("Return")  # next level; after level 9, Yes to quit
        try:
            self.game.wait(30)
        except subprocess.TimeoutExpired:
            raise StepFailed("Yes to quitting after level 9 did not end the game")
        with open(self.scores, "rb") as f:
            data = f.read()
        check(data[3 * 43:6 * 43] == DEFAULT_RECORD * 3, "the solved level 4 entered a score")
        for level, moves in ((3, 8), (5, 31), (6, 17), (7, 25), (8, 33), (9, 41)):
            record = data[(level - 3) * 3 * 43:][:43]
            check(record[:25] == b"Ann".ljust(25), "level %d's first name is %r" % (level, record[:25]))
            check(struct.unpack("<d", record[35:])[0] == moves,
                  "level %d's moves are %r" % (level, struct.unpack("<d", record[35:])[0]))

    def window_size(self):
        info = subprocess.run(["xwininfo", "-id", self.main], env=self.env, capture_output=True,
                              text=True).stdout
        return tuple(int(re.search(key + r":\s+(\d+)", info).group(1))
                     for key in ("Width", "Height"))

    def step_window_from_inside(self):
        """What cannot be done to the window from outside under wine, done from inside its own
        process: a move to a screen of twice the DPI and back, and the mouse capture taken away
        in the middle of a drag."""
        tests = os.path.join(self.work, "window_tests.exe")
        shutil.copy(self.window_tests, tests)
        ran = subprocess.run(self.wine(tests), cwd=self.work, env=self.env, capture_output=True,
                             text=True, timeout=120)
        with open(os.path.join(self.out, "window_tests.txt"), "w") as log:
            log.write(ran.stdout + ran.stderr)
        check(ran.returncode == 0 and "passed: 0 failed" in ran.stdout,
              "the window's own checks failed:\n" + ran.stdout)

    def step_twice_the_dpi(self):
        """The screen at 200 %: the game starts twice as large, every part of it, and its rings
        are drawn sharp at their doubled places."""
        game_size = self.size_at_96
        subprocess.run(self.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                                 "/t", "REG_DWORD", "/d", "192", "/f"), env=self.env,
                       capture_output=True, timeout=60, check=True)
        self.scale = 2
        self.stacks = [[3, 2, 1], [], []]
        with open(self.scores, "wb") as f:
            f.write(DEFAULT_RECORD * 21)  # level 3 again
        self.game = subprocess.Popen(self.wine(self.exe), cwd=self.folder, env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(self.game)
        self.main = self.wait_window("^Pylons - Level 3$")
        image = self.shot_when("200-percent", self.rings_shown)
        width, height = self.window_size()
        check(abs(width - 2 * game_size[0]) <= 4,
              "at 200 %% the window is %d wide, at 100 %% %d" % (width, game_size[0]))
        check(height > 1.8 * game_size[1],
              "at 200 %% the window is %d high, at 100 %% %d" % (height, game_size[1]))
        check(self.rings_shown(image), "at 200 % the rings are not at their doubled places")
        # Sharp: each ring's face is one colour edge to edge, no blur at its sides.
        for ring in (1, 2, 3):
            x, y = self.ring_centre(ring)
            row = [image.getpixel((x + dx, y)) for dx in range(-10, 11)]
            check(all(p == RING_COLOURS[ring - 1] for p in row), "ring %d is blurred" % ring)
        self.drag(1, 3)
        image = self.shot_when("200-percent-dragged", self.rings_shown)
        check(self.rings_shown(image), "at 200 % a drag did not move ring 1 to pole 3")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--list-controls", required=True,
                        help="the Windows program that lists the main window's controls")
    parser.add_argument("--window-tests", required=True,
                        help="the Windows program that drives the main window from inside")
    args = parser.parse_args()
    player = WinePlayer(args)
    return play_steps(player, player.start, (
        player.step_start, player.step_controls_named, player.step_drag_and_keys,
        player.step_released_over_a_ring_and_escape, player.step_save_and_load,
        player.step_links_and_windows, player.step_finish_level_3, player.step_play_aids,
        player.step_levels_5_to_9, player.step_window_from_inside, player.step_twice_the_dpi))


def play_steps(player, start, steps):
    """Starts, then runs each step in turn; on a failure, says which step and keeps a picture.
    Returns the exit status."""
    step = "starting wine"
    try:
        start()
        for action in steps:
            step = action.__name__[len("step_"):].replace("_", " ")
            print("step:", step, flush=True)
            action()
        print("all steps passed; screenshots in", player.out)
        return 0
    except (StepFailed, subprocess.CalledProcessError, subprocess.TimeoutExpired,
            OSError) as failure:
        print("FAILED at step '%s': %s" % (step, failure), flush=True)
        try:
            player.shot("failed")
        except Exception:  # pylint: disable=broad-except
            pass
        return 1
    finally:
        player.stop()

if __name__ == "__main__":
    sys.exit(main())
