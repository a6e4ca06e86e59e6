#!/usr/bin/python3
"""Plays level 3 of the installed game by its keys with Orca, the screen reader of the Linux
desktops, running, and checks what Orca said: the board at the start, every lifted ring and move,
a refused drop, the finished level, the place message, the name prompt, the level message and
level 4 with its board, in that order.

Orca writes every utterance to its debug log as "SPEECH OUTPUT: '...'". It is run here with that
log line-buffered, so that the test can wait for each utterance itself; a machine without a sound
card needs no speech synthesiser for that, as Orca logs what it hands to speech.

Run it inside a session bus of its own: dbus-run-session -- hear_with_orca.py ..."""

import argparse
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_as_player import Player, StepFailed, check  # noqa: E402
from read_as_screen_reader import Reader, find_app  # noqa: E402

# Orca's own start-up script, run with its debug log opened line-buffered.
LINE_BUFFERED_ORCA = """
import builtins, runpy, sys
log = sys.argv[sys.argv.index("--debug-file") + 1]
real_open = builtins.open
def line_buffered(file, mode="r", *args, **kwargs):
    if file == log and "w" in mode:
        return real_open(file, mode, 1)
    return real_open(file, mode, *args, **kwargs)
builtins.open = line_buffered
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")
"""


class Listener:
    def __init__(self, player, out):
        self.player = player
        self.log = os.path.join(out, "orca-debug.log")
        self.heard_from = 0
        self.orca = None

    def start_orca(self):
        home = os.path.join(self.player.work, "orca-home")
        os.makedirs(home, exist_ok=True)
        env = dict(self.player.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"])
        self.orca = subprocess.Popen(["/usr/bin/python3", "-c", LINE_BUFFERED_ORCA,
                                      "--debug-file", self.log],
                                     env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        # Orca is on the bus as an application of its own once it listens.
        find_app("orca", timeout=60)
        self.wait_said("Screen reader on")

    def spoken(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except FileNotFoundError:
            return []
        return re.findall(r"SPEECH OUTPUT: '(.*?)'", text)

    def wait_said(self, words, timeout=30):
        """Waits until Orca has said the words, after everything it said before; fails naming
        what it said instead."""
        end = time.time() + timeout
        while time.time() < end:
            spoken = self.spoken()
            for i in range(self.heard_from, len(spoken)):
                if words in spoken[i]:
                    self.heard_from = i + 1
                    return spoken[i]
            check(self.orca.poll() is None, "Orca ended")
            time.sleep(0.1)
        raise StepFailed("Orca did not say %r; after the last thing heard it said %r"
                         % (words, self.spoken()[self.heard_from:]))

    def stop(self):
        if self.orca and self.orca.poll() is None:
            self.orca.terminate()
            try:
                self.orca.wait(10)
            except subprocess.TimeoutExpired:
                self.orca.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    args.wm, args.scale, args.story, args.wayland, args.valgrind = "openbox", 1, "full", False, False
    player = Player(args)
    reader = Reader(player, player.out)
    listener = Listener(player, player.out)
    step = "starting the display, the bus and Orca"
    try:
        player.start_display()
        reader.start_bus()
        listener.start_orca()
        step = "the start of level 3"
        player.start_game()
        listener.wait_said("Level 3. Pole 1: rings 3, 2, 1. Poles 2 and 3: no rings")
        step = "moves by key"
        player.focus_main()
        player.keys("1")
        listener.wait_said("Ring 1 lifted from pole 1")
        player.keys("3")
        listener.wait_said("Ring 1 to pole 3")
        player.keys("1", "3")
        listener.wait_said("Ring 2 lifted from pole 1")
        listener.wait_said("Ring 2 stays on pole 1: ring 1 on pole 3 is narrower")
        for source, target in ((1, 2), (3, 2), (1, 3), (2, 1), (2, 3)):
            player.keys(str(source), str(target))
            listener.wait_said("to pole %d" % target)
        step = "the end of level 3"
        player.keys("1", "3")
        listener.wait_said("Level 3 finished in 8 moves")
        listener.wait_said("You score is good for FIRST place!")
        player.answer("^Pylons$", "Return")
        listener.wait_said("You name")
        player.answer("^Hiscore$", "Return")
        listener.wait_said("Good, Next Level!")
        player.answer("^Pylons$", "Return")
        step = "the start of level 4"
        player.main = player.wait_window("^Pylons - Level 4$")
        listener.wait_said("Level 4. Pole 1: rings 4, 3, 2, 1. Poles 2 and 3: no rings")
        print("Orca said what it should; its log is", listener.log)
        return 0
    except (StepFailed, subprocess.CalledProcessError, OSError) as failure:
        print("FAILED at step '%s': %s" % (step, failure), flush=True)
        return 1
    finally:
        listener.stop()
        player.stop()
        if getattr(reader, "bus", None):
            reader.bus.terminate()


if __name__ == "__main__":
    sys.exit(main())
