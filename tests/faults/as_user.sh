#!/usr/bin/env bash
# Runs the tests of a test program that a filter selects as the unprivileged user "nobody" when
# called as root, as itself otherwise. Permission tests skip themselves under root, so this run
# is where they count: it fails when the filter selects no test, when any selected test is
# skipped, or when fewer pass than were selected.
#
#   as_user.sh PROGRAM --gtest_filter=PATTERN
set -euo pipefail
program=$1
shift
listed=$("$program" --gtest_list_tests "$@" | grep -c '^  ' || true)
if [ "$listed" -eq 0 ]; then
    echo "as_user.sh: the filter selects no test: $*"
    exit 1
fi
run=("$program" "$@")
if [ "$(id -u)" -eq 0 ]; then
    work=$(mktemp -d)
    chmod 777 "$work"
    trap 'rm -rf "$work"' EXIT
    run=(setpriv --reuid=nobody --regid=nogroup --clear-groups
         env HOME="$work" TMPDIR="$work" "${run[@]}")
fi
status=0
output=$("${run[@]}" 2>&1) || status=$?
printf '%s\n' "$output"
if [ "$status" -ne 0 ]; then
    exit "$status"
fi
if grep -q '^\[  SKIPPED \]' <<<"$output"; then
    echo "as_user.sh: tests were skipped that must run as an ordinary user"
    exit 1
fi
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\.$/\1/p' <<<"$output")
if [ "${passed:-0}" -ne "$listed" ]; then
    echo "as_user.sh: ${passed:-0} of $listed selected tests passed"
    exit 1
fi
