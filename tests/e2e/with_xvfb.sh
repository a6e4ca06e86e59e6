#!/usr/bin/env bash
# Runs a command on an Xvfb server of its own. The display number is drawn at random from a wide
# range (and drawn again if taken), because servers that pick the first free number race each
# other when several tests start at once.
set -euo pipefail
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 30); do
    number=$((1000 + RANDOM % 30000))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    # Never reset between clients: a server resetting after the readiness check's client left
    # would turn the next client away ("could not connect to display").
    Xvfb ":$number" -screen 0 "${XVFB_SCREEN:-1600x1200x24}" -nolisten tcp -noreset \
        2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 100); do
        DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
        kill -0 $xvfb 2>/dev/null || break
        sleep 0.1
    done
    DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break
    kill $xvfb 2>/dev/null || true
    xvfb=
done
[ -n "$xvfb" ] || { echo "no Xvfb server could be started"; cat "$work/xvfb.log"; exit 1; }
DISPLAY=":$number" "$@"
