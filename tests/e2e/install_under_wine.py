#!/usr/bin/env python3
"""Installs the Windows game as a player does, under wine in a fresh prefix, and takes it away
again: the installer run silently, the installed game played with its folder read-only for the
player, installed again over itself, uninstalled silently; then the portable zip unpacked and
played. Run as root, every wine command runs as the unprivileged user "nobody", for whom a
read-only folder is read-only.

    install_under_wine.py --setup Pylons-1.0-setup.exe --zip Pylons-1.0-portable.zip
                          --exe Pylons.exe --list-controls pylons_list_controls.exe --out DIR
"""

import argparse
import os
import pwd
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from play_as_player import DEFAULT_RECORD, StepFailed, check, solve  # noqa: E402
from play_under_wine import WinePlayer, play_steps  # noqa: E402

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pylons"
RECORD = 43  # bytes of one result in HiScore.Dat


class Installer(WinePlayer):
    def __init__(self, args):  # pylint: disable=super-init-not-called
        self.out = os.path.abspath(args.out)
        shutil.rmtree(self.out, ignore_errors=True)
        os.makedirs(self.out)
        self.work = tempfile.mkdtemp(prefix="pylons-install-")
        os.chmod(self.work, 0o755)
        self.built_exe = args.exe
        self.lister = os.path.join(self.work, "list_controls.exe")
        self.setup = os.path.join(self.work, os.path.basename(args.setup))
        self.zip = os.path.join(self.work, os.path.basename(args.zip))
        for source, copy in ((args.list_controls, self.lister), (args.setup, self.setup),
                             (args.zip, self.zip)):
            shutil.copy(source, copy)
        self.run_as = []
        user = pwd.getpwuid(os.getuid())
        if os.getuid() == 0:
            user = pwd.getpwnam("nobody")
            self.run_as = ["setpriv", "--reuid=%d" % user.pw_uid, "--regid=%d" % user.pw_gid,
                           "--clear-groups"]
            for folder, _, files in os.walk(self.work):
                for name in [folder] + [os.path.join(folder, f) for f in files]:
                    os.chown(name, user.pw_uid, user.pw_gid)
        prefix = os.path.join(self.work, "prefix")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XAUTHORITY")}
        # No Mono or Gecko prompts, and no menu entries of wine's own in the player's desktop.
        self.env.update({"WINEPREFIX": prefix, "WINEDEBUG": "-all", "HOME": self.work,
                         "USER": user.pw_name, "LOGNAME": user.pw_name,
                         "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"})
        drive = os.path.join(prefix, "drive_c")
        self.program = os.path.join(drive, "Program Files", "Pylons")
        self.shortcut = os.path.join(drive, "ProgramData", "Microsoft", "Windows", "Start Menu",
                                     "Programs", "Pylons.lnk")
        self.appdata_scores = os.path.join(drive, "users", user.pw_name, "AppData", "Roaming",
                                           "Pylons", "HiScore.Dat")
        self.portable = os.path.join(self.work, "Games", "Pylons")
        self.processes = []
        self.shots = 0
        self.saved_scores = None

    def start(self):
        self.start_desktop()
        self.make_prefix()

    def stop(self):
        if os.path.isdir(self.program):
            os.chmod(self.program, 0o755)  # so that the work folder can be removed
        super().stop()

    # --- what a player does ---

    def run_wine(self, *args, timeout=120):
        result = subprocess.run(self.wine(*args), env=self.env, cwd=self.work,
                                capture_output=True, timeout=timeout)
        return result.returncode, result.stdout.decode("utf-8", errors="replace")

    def registry(self):
        status, text = self.run_wine("reg", "query", UNINSTALL_KEY)
        if status != 0:
            return None
        values = {}
        for line in text.splitlines():
            parts = re.split(r"\s{4}", line.strip())
            if len(parts) == 3:
                values[parts[0]] = (parts[1], parts[2])
        return values

    def start_game(self, exe, title="^Pylons - Level 3$"):
        game = subprocess.Popen(self.wine(exe), cwd=self.work, env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(game)
        self.main = self.wait_window(title)
        return game

    def finish_level_3(self, detour, name=None):
        """Level 3 by keys, in the fewest moves or with a detour of two more; then the messages
        answered (a name typed when given) and the game quit. Returns what the place message
        said."""
        self.xdotool("windowactivate", "--sync", self.main)
        if detour:
            self.keys("1", "2", "2", "1")
        for source, target in solve(3, 3):
            self.keys(str(source), str(target))
        self.wait_window("^Pylons$")
        _, listing = self.run_wine(self.lister, "Pylons")
        self.shot("place")
        self.keys("Return")
        prompt = self.wait_window("^Hiscore$")
        self.xdotool("windowactivate", "--sync", prompt)
        if name is not None:
            self.keys("ctrl+a")
            self.xdotool("type", "--delay", "50", name)
        self.keys("Return")
        self.wait_gone("^Hiscore$")
        self.wait_window("^Pylons$")
        self.keys("Return")
        self.main = self.wait_window("^Pylons - Level 4$")
        self.xdotool("windowactivate", "--sync", self.main)
        self.keys("alt+F4")
        self.wait_gone("^Pylons - Level 4$")
        return listing

    def wait_game_gone(self, game):
        try:
            game.wait(30)
        except subprocess.TimeoutExpired as late:
            raise StepFailed("the game did not end when closed") from late

    # --- the story ---

    def step_install(self):
        status, _ = self.run_wine(self.setup, "/S")
        check(status == 0, "the silent installer ended with status %d" % status)
        for name in ("Pylons.exe", "Uninstall.exe", "LICENSE.txt"):
            check(os.path.isfile(os.path.join(self.program, name)),
                  "Program Files\\Pylons has no %s: %r" % (name, os.listdir(self.program)))
        with open(os.path.join(self.program, "Pylons.exe"), "rb") as installed, \
                open(self.built_exe, "rb") as built:
            check(installed.read() == built.read(), "the installed Pylons.exe is not the game")
        with open(self.shortcut, "rb") as link:
            data = link.read()
        check(data[:4] == b"L\0\0\0", "Pylons.lnk is not a shell link")
        check("Pylons.exe" in data.decode("utf-16-le", errors="ignore") + data.decode("latin-1"),
              "Pylons.lnk does not point at Pylons.exe")
        values = self.registry()
        check(values is not None, "the installer registered no uninstaller")
        program = "C:\\Program Files\\Pylons"
        expected = {
            "DisplayName": ("REG_SZ", "Pylons"),
            "DisplayIcon": ("REG_SZ", program + "\\Pylons.exe,0"),
            "DisplayVersion": ("REG_SZ", "1.0"),
            "Publisher": ("REG_SZ", "Wim Kolckenberger"),
            "UninstallString": ("REG_SZ", '"%s\\Uninstall.exe"' % program),
            "QuietUninstallString": ("REG_SZ", '"%s\\Uninstall.exe" /S' % program),
        }
        for key, value in expected.items():
            check(values.get(key) == value, "%s is %r, not %r" % (key, values.get(key), value))
        kind, size = values.get("EstimatedSize", ("", "0"))
        size_kb = sum(os.path.getsize(os.path.join(self.program, n))
                      for n in os.listdir(self.program)) // 1024
        check(kind == "REG_DWORD" and abs(int(size, 16) - size_kb) <= 4,
              "EstimatedSize is %r for %d KB installed" % (values.get("EstimatedSize"), size_kb))

    def step_scores_in_appdata(self):
        """The installed game, its folder read-only for the player: its scores go to
        %APPDATA%\\Pylons and are there at the next start."""
        os.chmod(self.program, 0o555)
        game = self.start_game("C:\\Program Files\\Pylons\\Pylons.exe")
        self.shot("installed-game")
        check(sorted(os.listdir(self.program)) == ["LICENSE.txt", "Pylons.exe", "Uninstall.exe"],
              "the game wrote into its read-only folder: %r" % os.listdir(self.program))
        with open(self.appdata_scores, "rb") as f:
            check(f.read() == DEFAULT_RECORD * 21,
                  "%APPDATA%\\Pylons\\HiScore.Dat does not start with 21 default records")
        said = self.finish_level_3(detour=False, name="Ann")
        check("FIRST place" in said, "the first result was not placed first:\n" + said)
        self.wait_game_gone(game)
        with open(self.appdata_scores, "rb") as f:
            data = f.read()
        check(data[:25] == b"Ann".ljust(25) and data[RECORD:] == DEFAULT_RECORD * 20,
              "level 3's result is not in %%APPDATA%%\\Pylons\\HiScore.Dat: %r" % data[:RECORD])
        # At the next start the game knows Ann's result: a longer game comes second.
        game = self.start_game("C:\\Program Files\\Pylons\\Pylons.exe")
        said = self.finish_level_3(detour=True)
        check("SECOND place" in said, "the game did not know the first result:\n" + said)
        self.wait_game_gone(game)
        with open(self.appdata_scores, "rb") as f:
            self.saved_scores = f.read()
        moves = [struct.unpack("<d", self.saved_scores[r * RECORD + 35:][:8])[0] for r in (0, 1)]
        check(self.saved_scores[:25] == b"Ann".ljust(25) and moves == [7, 9],
              "the results are not in order: %r" % self.saved_scores[:2 * RECORD])
        os.chmod(self.program, 0o755)

    def step_install_again(self):
        status, _ = self.run_wine(self.setup, "/S")
        check(status == 0, "installing again ended with status %d" % status)
        with open(os.path.join(self.program, "Pylons.exe"), "rb") as installed, \
                open(self.built_exe, "rb") as built:
            check(installed.read() == built.read(), "installing again left another Pylons.exe")
        check(self.registry() is not None, "installing again lost the uninstaller's entry")
        with open(self.appdata_scores, "rb") as f:
            check(f.read() == self.saved_scores, "installing again changed the scores")

    def step_uninstall(self):
        # The uninstaller hands over to a copy of itself and returns at once; the copy's work is
        # done when the program's folder is gone and every wine program has ended.
        status, _ = self.run_wine("C:\\Program Files\\Pylons\\Uninstall.exe", "/S")
        check(status == 0, "the silent uninstaller ended with status %d" % status)
        self.wait_for(lambda: not os.path.exists(self.program),
                      "Program Files\\Pylons is still there", timeout=60)
        subprocess.run(self.wineserver("-w"), env=self.env, timeout=120)
        check(not os.path.exists(self.shortcut), "the Start-menu shortcut is still there")
        check(self.registry() is None, "the uninstaller's registry entry is still there")
        with open(self.appdata_scores, "rb") as f:
            check(f.read() == self.saved_scores, "uninstalling changed the player's scores")

    def step_portable_zip(self):
        with zipfile.ZipFile(self.zip) as archive:
            names = sorted(archive.namelist())
            check(names == ["LICENSE", "Pylons.exe", "README.txt"],
                  "the zip holds %r" % names)
            os.makedirs(self.portable)
            archive.extractall(self.portable)
        if self.run_as:
            user = pwd.getpwnam("nobody")
            for folder in (os.path.dirname(self.portable), self.portable):
                os.chown(folder, user.pw_uid, user.pw_gid)
            for name in names:
                os.chown(os.path.join(self.portable, name), user.pw_uid, user.pw_gid)
        beside = os.path.join(self.portable, "HiScore.Dat")
        game = self.start_game(os.path.join(self.portable, "Pylons.exe"))
        self.shot("portable-game")
        self.wait_for(lambda: os.path.exists(beside), "the portable game keeps no HiScore.Dat "
                      "beside itself")
        said = self.finish_level_3(detour=False, name="Bo")
        check("FIRST place" in said, "the portable game did not start its own scores:\n" + said)
        self.wait_game_gone(game)
        with open(beside, "rb") as f:
            data = f.read()
        check(data[:25] == b"Bo".ljust(25) and data[RECORD:] == DEFAULT_RECORD * 20,
              "the portable game's result is not beside it: %r" % data[:RECORD])
        with open(self.appdata_scores, "rb") as f:
            check(f.read() == self.saved_scores, "the portable game wrote into %APPDATA%")

    def page(self, words):
        """Waits for the installer's page whose controls hold these words; returns them."""
        last = [""]

        def shows():
            # Access keys aside: "I &Agree" is read as "I Agree".
            last[0] = self.run_wine(self.lister, "Pylons Setup", timeout=60)[1].replace("&", "")
            return last[0] if all(w in last[0] for w in words) else None
        try:
            return self.wait_for(shows, "")
        except StepFailed as missing:
            raise StepFailed("the installer shows no page with %r:\n%s" % (words, last[0])) \
                from missing

    def step_install_by_pages(self):
        """The installer as a player clicks through it: welcome, the license, the folder,
        progress, and the finish page whose "Start Pylons" starts the game."""
        setup = subprocess.Popen(self.wine(self.setup), cwd=self.work, env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(setup)
        window = self.wait_window("^Pylons Setup$")
        for words, name in ((["Welcome to", "Next >"], "welcome"),
                            (["License Agreement", "MIT License", "I Agree"], "license"),
                            (["Choose Install Location", "C:\\Program Files\\Pylons", "Install"],
                             "folder"),
                            (["Start Pylons", "Finish"], "finish")):
            self.page(words)
            self.shot("setup-" + name)
            self.xdotool("windowactivate", "--sync", window)
            self.keys("Return")
        self.main = self.wait_window("^Pylons - Level 3$")
        self.shot("started-by-setup")
        check(os.path.isfile(os.path.join(self.program, "Pylons.exe")),
              "the installer's pages installed no game")
        self.xdotool("windowactivate", "--sync", self.main)
        self.keys("alt+F4")
        self.wait_gone("^Pylons - Level 3$")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for name in ("--setup", "--zip", "--exe", "--list-controls", "--out"):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    installer = Installer(args)
    return play_steps(installer, installer.start, (
        installer.step_install, installer.step_scores_in_appdata, installer.step_install_again,
        installer.step_uninstall, installer.step_portable_zip, installer.step_install_by_pages))

if __name__ == "__main__":
    sys.exit(main())
