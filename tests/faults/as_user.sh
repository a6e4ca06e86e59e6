#!/usr/bin/env bash
# Runs a test program as the unprivileged user "nobody" when called as root, as itself otherwise.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
work=$(mktemp -d)
chmod 777 "$work"
trap 'rm -rf "$work"' EXIT
exec setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$work" TMPDIR="$work" "$@"
