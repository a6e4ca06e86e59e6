#!/usr/bin/env bash
# Builds the Debian package and checks it:
#   check_deb.sh BUILD          unpacks it into a clean folder tree as dpkg would install it,
#                               checks that everything is in its standard place, and starts the
#                               packaged program on an X server;
#   check_deb.sh BUILD lintian  runs lintian on it, which must report no error and no warning
#                               (its full report is kept as BUILD/lintian.txt).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb")"

if [ "${2:-}" = lintian ]; then
    status=0
    lintian --fail-on error,warning --display-info --pedantic --display-experimental \
        --verbose "$deb" >"$build/lintian.txt" 2>&1 || status=$?
    grep -E '^[EWIPX]: ' "$build/lintian.txt" || echo "lintian reports no tag at all"
    [ "$status" -eq 0 ] || { echo "lintian failed the package"; cat "$build/lintian.txt"; exit 1; }
    exit 0
fi

dpkg-deb --field "$deb" Package Version Depends Section
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || { echo "Depends lacks Qt"; exit 1; }
[ "$(dpkg-deb --field "$deb" Section)" = games ] || { echo "not in the games section"; exit 1; }
dpkg -x "$deb" root
for file in usr/games/pylons \
            usr/share/applications/com.example.Pylons.desktop \
            usr/share/metainfo/com.example.Pylons.metainfo.xml \
            usr/share/icons/hicolor/16x16/apps/com.example.Pylons.png \
            usr/share/icons/hicolor/32x32/apps/com.example.Pylons.png \
            usr/share/icons/hicolor/256x256/apps/com.example.Pylons.png \
            usr/share/man/man6/pylons.6.gz \
            usr/share/doc/pylons/copyright \
            usr/share/doc/pylons/changelog.gz; do
    [ -f "root/$file" ] || { echo "missing from the package: /$file"; exit 1; }
done
[ ! -e root/usr/bin ] || { echo "the package has /usr/bin: a game belongs in /usr/games"; exit 1; }
file root/usr/games/pylons | grep -q 'stripped' && ! file root/usr/games/pylons | grep -q 'not stripped' ||
    { echo "the program is not stripped"; exit 1; }
grep -q '^License: Expat' root/usr/share/doc/pylons/copyright || { echo "no license in copyright"; exit 1; }
desktop-file-validate root/usr/share/applications/com.example.Pylons.desktop
appstreamcli validate --no-net root/usr/share/metainfo/com.example.Pylons.metainfo.xml >/dev/null
man --warnings -l root/usr/share/man/man6/pylons.6.gz >/dev/null 2>"$work/man.txt"
[ ! -s "$work/man.txt" ] || { echo "the manual page has faults:"; cat "$work/man.txt"; exit 1; }
# The packaged program starts and shows level 3 (its folder is writable here, so it also writes
# its high scores beside itself).
"$here/with_xvfb.sh" bash -c '
    root/usr/games/pylons & game=$!
    # Up to half a minute: a busy machine starts it slower, never differently.
    end=$((SECONDS + 30))
    while [ $SECONDS -lt $end ] && kill -0 $game 2>/dev/null; do
        xdotool search --onlyvisible --name "^Pylons - Level 3$" >/dev/null && break
        sleep 0.1
    done
    found=$(xdotool search --onlyvisible --name "^Pylons - Level 3$" || true)
    kill $game
    [ -n "$found" ] || { echo "the packaged game showed no window"; exit 1; }
'
[ "$(stat -c %s root/usr/games/HiScore.Dat)" = 903 ] || { echo "no HiScore.Dat beside the program"; exit 1; }
echo "the package installs and starts"
