#!/usr/bin/env bash
# Runs a command as a Wayland client: an Xvfb server, a weston compositor drawing into it (the
# X11 backend gives weston a seat with a mouse and a keyboard), and the command with only
# WAYLAND_DISPLAY to go by.
set -euo pipefail
work=$(mktemp -d)
trap 'kill $weston $xvfb 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 4 -screen 0 1600x1200x24 -nolisten tcp 4> "$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -n1 "$work/display")"
for _ in $(seq 150); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
mkdir -m 700 "$work/runtime"
DISPLAY=$display XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so \
    --socket=pylons-test --width=1200 --height=900 --idle-time=0 --shell=kiosk-shell.so \
    >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 150); do [ -S "$work/runtime/pylons-test" ] && break; sleep 0.1; done
[ -S "$work/runtime/pylons-test" ] || { echo "weston did not start:"; cat "$work/weston.log"; exit 1; }
env -u DISPLAY XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=pylons-test \
    XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=wayland "$@"
