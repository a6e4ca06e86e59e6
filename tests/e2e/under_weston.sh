#!/usr/bin/env bash
# Runs a command as a Wayland client: a weston compositor drawing into an Xvfb server of its own
# (the X11 backend gives weston a seat with a mouse and a keyboard), and the command with only
# WAYLAND_DISPLAY to go by.
set -euo pipefail
if [ -z "${PYLONS_UNDER_XVFB:-}" ]; then
    PYLONS_UNDER_XVFB=1 exec "$(dirname "$0")/with_xvfb.sh" "$0" "$@"
fi
work=$(mktemp -d)
weston=
trap '[ -n "$weston" ] && kill $weston 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so --socket=pylons-test \
    --width=1200 --height=900 --idle-time=0 --shell=kiosk-shell.so >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 150); do [ -S "$work/runtime/pylons-test" ] && break; sleep 0.1; done
[ -S "$work/runtime/pylons-test" ] || { echo "weston did not start:"; cat "$work/weston.log"; exit 1; }
env -u DISPLAY XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=pylons-test \
    XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland "$@"
