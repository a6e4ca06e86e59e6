#!/usr/bin/env bash
# Measures the Windows game against a bare Win32 window of the same size, and against the same
# bare window with the common controls 6 the game's window is made of (a status bar, option
# buttons), all under wine in one run on one X server, and prints the table for
# docs/performance.md: start-up to the first painted frame and peak resident memory (medians of
# alternating runs, wine's own start included alike), and the size of Pylons.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages build-essential cmake ninja-build g++-mingw-w64-x86-64-posix wine64 xvfb \
    x11-utils python3
runs=${RUNS:-21}
cmake --preset windows >/dev/null
cmake --build --preset windows --target pylons_win pylons_win_first_paint bare_win32 \
    bare_win32_controls >/dev/null

work=$(mktemp -d)
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver -p || true # one server for every run, as on a desktop already running
mkdir "$work/game" "$work/bare" "$work/controls"
cp build/windows/pylons_win_first_paint.exe "$work/game/"
cp build/windows/bare_win32.exe "$work/bare/"
cp build/windows/bare_win32_controls.exe "$work/controls/"
/usr/bin/python3 - "$runs" "$work" build/windows/bin/Pylons.exe <<'PY'
import os, statistics, subprocess, sys, time
runs, work, exe = int(sys.argv[1]), sys.argv[2], sys.argv[3]
programs = {"game": os.path.join(work, "game", "pylons_win_first_paint.exe"),
            "bare": os.path.join(work, "bare", "bare_win32.exe"),
            "controls": os.path.join(work, "controls", "bare_win32_controls.exe")}
times = {name: [] for name in programs}
memory = {name: [] for name in programs}
for run in range(runs + 2):  # two warm-up rounds
    for name, program in programs.items():
        start = time.perf_counter()
        child = subprocess.Popen(["/usr/lib/wine/wine64", program], cwd=os.path.dirname(program))
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - start
        if run >= 2:
            times[name].append(elapsed * 1000)
            memory[name].append(usage.ru_maxrss / 1024)
t = {n: statistics.median(v) for n, v in times.items()}
m = {n: statistics.median(v) for n, v in memory.items()}
print("| measure | Pylons.exe | bare window | bare window with the common controls | "
      "Pylons / bare | Pylons / with the common controls |")
print("|---|---|---|---|---|---|")
print("| start-up to the first painted frame, median of %d (ms) | %.0f | %.0f | %.0f | %.2f | %.2f |"
      % (runs, t["game"], t["bare"], t["controls"], t["game"] / t["bare"],
         t["game"] / t["controls"]))
print("| peak resident memory, median (MiB) | %.1f | %.1f | %.1f | %.2f | %.2f |"
      % (m["game"], m["bare"], m["controls"], m["game"] / m["bare"], m["game"] / m["controls"]))
print("| size of Pylons.exe (bytes) | %d | | | | |" % os.path.getsize(exe))
PY
