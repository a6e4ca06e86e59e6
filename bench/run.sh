#!/usr/bin/env bash
# Measures the game against a bare Qt main window of the same size, in one run on one X server,
# and prints the table for docs/performance.md:
#   - start-up to the first painted frame (hyperfine, medians);
#   - peak resident memory of those runs (medians);
#   - wake-ups and CPU time over 30 s of idling, with the game's clock stopped and running;
#   - the cost of one drag-move event (Google Benchmark, p50 and p99);
#   - the cost of a hint at level 9, first and later, and what the solver keeps.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev hyperfine time xvfb xdotool x11-utils

idle=${IDLE_SECONDS:-30}
cmake --preset release >/dev/null
cmake --build --preset release --target pylons pylons_first_paint bare_window \
    bare_window_first_paint pylons_drag_bench pylons_solver_bench >/dev/null
bin=build/release

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 150); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb
# Each program in a folder of its own; the game's HiScore.Dat exists after its first run.
for program in pylons pylons_first_paint; do cp "$bin/bench/$program" "$work/" 2>/dev/null || cp "$bin/bin/$program" "$work/"; done
cp "$bin/bench/bare_window" "$bin/bench/bare_window_first_paint" "$bin/bench/pylons_drag_bench" "$work/"
"$work/pylons_first_paint" 2>/dev/null

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

# Start-up to the first painted frame.
hyperfine -N --warmup 5 --runs 60 --export-json "$work/startup.json" \
    "$work/pylons_first_paint" "$work/bare_window_first_paint" >/dev/null 2>&1
read -r game_start bare_start < <(python3 -c '
import json, sys
r = json.load(open(sys.argv[1]))["results"]
print(" ".join("%.1f" % (x["median"] * 1000) for x in r))' "$work/startup.json")

# Peak resident memory of the same runs.
peak() { for _ in $(seq 25); do /usr/bin/time -f %M "$1" 2>&1 >/dev/null | tail -n1; done | median; }
game_rss=$(peak "$work/pylons_first_paint")
bare_rss=$(peak "$work/bare_window_first_paint")

# Wake-ups of the window's thread (its context switches: every timer, event or repaint wakes it;
# the game's clock and all its work run there) and the CPU time of the whole process.
sample() {
    local pid=$1 switches ticks
    switches=$(awk '/ctxt_switches/ {s += $2} END {print s}' /proc/"$pid"/task/"$pid"/status)
    ticks=$(awk '{print $14 + $15}' /proc/"$pid"/stat)
    echo "$switches $ticks"
}
idle_of() {
    local pid=$1 s0 t0 s1 t1
    read -r s0 t0 < <(sample "$pid")
    sleep "$idle"
    read -r s1 t1 < <(sample "$pid")
    echo "$((s1 - s0)) $(( (t1 - t0) * 1000 / $(getconf CLK_TCK) ))"
}
wait_window() {
    for _ in $(seq 100); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return; sleep 0.1; done
}
(cd "$work" && exec ./bare_window 2>"$work/bare.log") & bare=$!
wait_window "^Bare - Level 3$"; sleep 2
kill -0 $bare 2>/dev/null || { echo "the bare window did not start:"; cat "$work/bare.log"; exit 1; }
read -r bare_wakeups bare_cpu < <(idle_of $bare)
kill $bare
(cd "$work" && exec ./pylons) & game=$!
wait_window "^Pylons - Level 3$"; sleep 2
read -r stopped_wakeups stopped_cpu < <(idle_of $game)
# A real drag starts the clock: ring 1 from pole 1 to pole 2.
window=$(xdotool search --onlyvisible --name "^Pylons - Level 3$" | tail -n1)
eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "wx=" $4} /Absolute upper-left Y/ {print "wy=" $4} /Height:/ {print "wh=" $2}')"
top=$((wy + wh - 305))
xdotool mousemove $((wx + 39)) $((top + 212)) mousedown 1 mousemove $((wx + 80)) $((top + 120)) \
    sleep 0.1 mousemove $((wx + 127)) $((top + 120)) sleep 0.1 mouseup 1
sleep 2
read -r running_wakeups running_cpu < <(idle_of $game)
kill $game

# One drag-move event.
"$work/pylons_drag_bench" --benchmark_format=json >"$work/drag.json" 2>/dev/null
read -r p50 p99 < <(python3 -c '
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
print("%.1f %.1f" % (b["p50_us"], b["p99_us"]))' "$work/drag.json")

# The hint at level 9: the first of a level builds the solver's table, later ones look it up.
"$bin/bench/pylons_solver_bench" --benchmark_format=json >"$work/solver.json" 2>/dev/null
read -r cold warm kept < <(python3 -c '
import json, sys
b = {x["name"].split("/")[0]: x for x in json.load(open(sys.argv[1]))["benchmarks"]}
print("%.1f %.1f %.0f" % (b["FirstHintAtLevel9"]["real_time"], b["LaterHintAtLevel9"]["real_time"],
                          b["FirstHintAtLevel9"]["kept_KiB"]))' "$work/solver.json")

ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }
cat <<TABLE
| measure | game | bare Qt window | ratio | target |
|---|---|---|---|---|
| start-up to first painted frame, median of 60 | ${game_start} ms | ${bare_start} ms | $(ratio "$game_start" "$bare_start") | ≤ 1.15 |
| peak resident memory, median of 25 | $((game_rss / 1024)).$(( (game_rss % 1024) * 10 / 1024 )) MiB | $((bare_rss / 1024)).$(( (bare_rss % 1024) * 10 / 1024 )) MiB | $(ratio "$game_rss" "$bare_rss") | ≤ 1.10 |
| wake-ups of the window's thread in ${idle} s idle, clock stopped | ${stopped_wakeups} | ${bare_wakeups} | | no timer wake-ups |
| CPU time in ${idle} s idle, clock stopped | ${stopped_cpu} ms | ${bare_cpu} ms | | |
| wake-ups of the window's thread in ${idle} s, clock running | ${running_wakeups} | | | one tick a second |
| CPU time in ${idle} s, clock running | ${running_cpu} ms | | | |
| one drag-move event (hit test, game, repaint), p50 | ${p50} µs | | | |
| one drag-move event, p99 | ${p99} µs | | | < 1000 µs |
| first hint at level 9 (builds the solver), mean of 50 | ${cold} ms | | | ≤ 20 ms |
| later hint at level 9, mean of 2,000 | ${warm} µs | | | ≤ 1 ms |
| memory the solver keeps at level 9 | ${kept} KiB | | | < 1 MiB |
TABLE
echo
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores, $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo); $(. /etc/os-release; echo "$PRETTY_NAME"); Qt $(dpkg-query -W -f='${Version}' libqt6core6 | cut -d+ -f1); Xvfb"
