#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a clean folder tree as dpkg would install it, checks
# that everything is in its standard place, and starts the packaged program on an X server.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Depends Section
dpkg-deb --field "$deb" Depends | grep -q libqt6widgets6 || { echo "Depends lacks Qt"; exit 1; }
dpkg -x "$deb" root
for file in usr/bin/pylons \
            usr/share/applications/com.example.Pylons.desktop \
            usr/share/metainfo/com.example.Pylons.metainfo.xml \
            usr/share/icons/hicolor/16x16/apps/com.example.Pylons.png \
            usr/share/icons/hicolor/32x32/apps/com.example.Pylons.png \
            usr/share/icons/hicolor/256x256/apps/com.example.Pylons.png; do
    [ -f "root/$file" ] || { echo "missing from the package: /$file"; exit 1; }
done
desktop-file-validate root/usr/share/applications/com.example.Pylons.desktop
appstreamcli validate --no-net root/usr/share/metainfo/com.example.Pylons.metainfo.xml >/dev/null
# The packaged program starts and shows level 3 (its folder is writable here, so it also writes
# its high scores beside itself).
"$here/with_xvfb.sh" bash -c '
    root/usr/bin/pylons & game=$!
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "^Pylons - Level 3$" >/dev/null && break
        sleep 0.1
    done
    found=$(xdotool search --onlyvisible --name "^Pylons - Level 3$" || true)
    kill $game
    [ -n "$found" ] || { echo "the packaged game showed no window"; exit 1; }
'
[ "$(stat -c %s root/usr/bin/HiScore.Dat)" = 903 ] || { echo "no HiScore.Dat beside the program"; exit 1; }
echo "the package installs and starts"
