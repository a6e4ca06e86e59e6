#!/usr/bin/python3
"""Reads the installed game as a screen reader does: on a real X server, with the accessibility
bus of the desktop (at-spi2-core) and a screen reader said to be running, through the same
library screen readers use (pyatspi). Keeps what it read, the tree and the events, in the output
folder.

It checks that the tree holds what a player sees and nothing else (the pole buttons as the
selection among the poles, named; no pole, ring or button that the level does not use; no item
without a name), and that a move, a refused drop, a hint and a finished level are announced: a
notification shows on the bus with the words.

Run it inside a session bus of its own: dbus-run-session -- read_as_screen_reader.py ..."""

import argparse
import os
import subprocess
import sys
import threading
import time

import pyatspi
from gi.repository import GLib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_as_player import Player, StepFailed, check  # noqa: E402

# Items that carry no name of their own in any toolkit: they hold named items.
UNNAMED_ROLES = {"menu bar", "popup menu", "separator"}


def find_app(name, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    raise StepFailed("no application %r on the accessibility bus" % name)


def read_tree(node, depth=0, lines=None, items=None):
    """Every item as a screen reader walks the tree: role, name and the states that matter."""
    if lines is None:
        lines, items = [], []
    states = node.getState()
    flags = [word for word, state in (("showing", pyatspi.STATE_SHOWING),
                                      ("checked", pyatspi.STATE_CHECKED))
             if states.contains(state)]
    role = node.getRoleName()
    lines.append("%s%s %r%s" % ("  " * depth, role, node.name,
                                " [%s]" % ", ".join(flags) if flags else ""))
    items.append((depth, role, node.name, flags))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            read_tree(child, depth + 1, lines, items)
    return lines, items


class Reader:
    def __init__(self, player, out):
        self.player = player
        self.out = out
        self.events = []

    def start_bus(self):
        """The accessibility bus, and the flag a desktop sets while a screen reader runs; the
        game turns its accessibility on for it, as it would for Orca."""
        self.bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.time() + 10
        while True:
            result = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                 "org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status",
                 "string:ScreenReaderEnabled", "variant:boolean:true"],
                capture_output=True, text=True)
            if result.returncode == 0:
                break
            check(time.time() < end, "the accessibility bus did not start: %s" % result.stderr)
            time.sleep(0.2)
        self.player.env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"]

    def tree(self, name):
        lines, items = read_tree(find_app("Pylons"))
        with open(os.path.join(self.out, name), "w") as f:
            f.write("\n".join(lines) + "\n")
        return items

    def check_tree(self, items, level):
        poles = 3 if level <= 5 else 4
        window = [i for i in items if i[1] == "frame" and i[2] == "Pylons - Level %d" % level]
        check(window, "no window 'Pylons - Level %d' in the tree" % level)
        names = [name for _, _, name, _ in items]
        buttons = [(name, "checked" in flags) for _, role, name, flags in items
                   if role == "radio button"]
        check([name for name, _ in buttons] == ["Pole %d" % p for p in range(1, poles + 1)],
              "the pole buttons read %r" % buttons)
        check(sum(checked for _, checked in buttons) == 1,
              "not exactly one pole selected: %r" % buttons)
        for ring in range(1, 10):
            said = [n for n in names if n.startswith("Ring %d on pole" % ring)]
            check(bool(said) == (ring <= level), "ring %d is read as %r at level %d"
                  % (ring, said, level))
        for pole in range(1, 5):
            said = [n for n in names if n.startswith("Pole %d" % pole)]
            check(bool(said) == (pole <= poles), "pole %d is read as %r" % (pole, said))
        nameless = [(role, depth) for depth, role, name, _ in items
                    if not name and role not in UNNAMED_ROLES]
        check(not nameless, "items without a name: %r" % nameless)
        board = [name for _, role, name, _ in items
                 if role == "filler" and name.startswith("Pylons - Level")]
        check(board, "the board has no name")
        check("Status bar" in names, "the status bar has no name")

    # --- events ---

    def listen(self, actions):
        """Runs the player's actions in a thread while the bus's events are collected here."""
        failure = []

        def on_event(event):
            try:
                source = event.source
                self.events.append((time.time(), event.type, source.getRoleName(), source.name,
                                    event.detail1))
            except Exception as error:  # an item gone before it could be read
                self.events.append((time.time(), event.type, "?", str(error), 0))

        def run():
            try:
                actions()
            except Exception as error:  # reported after the loop
                failure.append(error)
            finally:
                GLib.idle_add(pyatspi.Registry.stop)

        pyatspi.Registry.registerEventListener(
            on_event, "object:state-changed:showing", "object:property-change:accessible-name")
        threading.Thread(target=run, daemon=True).start()
        pyatspi.Registry.start()
        pyatspi.Registry.deregisterEventListener(
            on_event, "object:state-changed:showing", "object:property-change:accessible-name")
        with open(os.path.join(self.out, "events.txt"), "w") as f:
            for stamp, kind, role, name, detail in self.events:
                f.write("%.3f %s %s %r %s\n" % (stamp, kind, role, name, detail))
        if failure:
            raise failure[0]

    def announced(self):
        """The words of every notification that showed."""
        return [name for _, kind, role, name, detail in self.events
                if kind == "object:state-changed:showing" and role == "notification" and detail]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    args.wm, args.scale, args.story, args.wayland, args.valgrind = None, 1, "full", False, False
    player = Player(args)
    reader = Reader(player, player.out)
    step = "starting the display, the bus and the game"
    try:
        player.start_display()
        reader.start_bus()
        player.start_game()
        step = "reading level 3"
        reader.check_tree(reader.tree("tree-level3.txt"), 3)

        expected = ("Ring 1 to pole 3",
                    "Ring 2 stays on pole 1: ring 1 on pole 3 is narrower",
                    "Hint: ring 2 to pole 2, 6 moves to go",
                    "Level 3 finished in 8 moves")

        def play():
            player.focus_main()
            player.keys("1", "3")  # ring 1 to pole 3
            player.keys("1", "3")  # ring 2 onto ring 1: refused
            player.keys("h")
            for source, target in ((1, 2), (3, 2), (1, 3), (2, 1), (2, 3), (1, 3)):
                player.keys(str(source), str(target))
            player.answer("^Pylons$", "Return")  # first place
            player.answer("^Hiscore$", "Return")  # the name
            player.answer("^Pylons$", "Return")  # next level
            player.main = player.wait_window("^Pylons - Level 4$")
            # Events travel the bus on their own time: listen until every announcement came, or
            # the time is up and the check below names the missing one.
            try:
                player.wait_for("not every announcement came", lambda: all(
                    any(words in notice for notice in reader.announced()) for words in expected))
            except StepFailed:
                pass

        step = "hearing level 3 played"
        reader.listen(play)
        said = reader.announced()
        for words in expected:
            check(any(words in notice for notice in said),
                  "%r was not announced; the notifications were %r" % (words, said))
        step = "reading level 4"
        # The tree follows the window's title on the bus's time too; the check names what is
        # wrong with the last tree read.
        def level4_tree():
            items = reader.tree("tree-level4.txt")
            return items if any(i[1] == "frame" and i[2] == "Pylons - Level 4" for i in items) \
                else None
        try:
            items = player.wait_for("the tree never showed level 4", level4_tree, timeout=10)
        except StepFailed:
            items = reader.tree("tree-level4.txt")
        reader.check_tree(items, 4)
        print("the screen reader read and heard what it should; see", player.out)
        return 0
    except (StepFailed, subprocess.CalledProcessError, OSError) as failure:
        print("FAILED at step '%s': %s" % (step, failure), flush=True)
        return 1
    finally:
        player.stop()
        if getattr(reader, "bus", None):
            reader.bus.terminate()


if __name__ == "__main__":
    sys.exit(main())
