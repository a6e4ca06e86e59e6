#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each of them, side by side, on a starting corpus of the
# real file shapes plus what earlier runs found, after replaying the inputs kept as regression
# cases. Stops with an error if any input crashes the game or breaks one of its rules.
#
#   fuzz/run.sh 60              about a minute each
#   fuzz/run.sh runs=10000000   ten million inputs each
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages build-essential cmake ninja-build clang libclang-rt-14-dev

limit=${1:-60}
case $limit in
    runs=*) budget=(-runs="${limit#runs=}") ;;
    *) budget=(-max_total_time="$limit") ;;
esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
build=build/fuzz
rm -rf "$build/corpus" "$build/crashes"
"$build/fuzz/pylons_make_corpus" "$build/corpus" >/dev/null
mkdir -p "$build/crashes"

run_one() {
    local name=$1 log=$build/$1.log
    local regressions=(fuzz/regressions/$name/*)
    if [ -e "${regressions[0]}" ]; then
        "$build/fuzz/${name}_fuzzer" "${regressions[@]}" >"$build/$name-regressions.log" 2>&1 ||
            { echo "$name: a kept regression input fails again"; tail -20 "$build/$name-regressions.log"; return 1; }
    fi
    mkdir -p "$build/work/$name"
    "$build/fuzz/${name}_fuzzer" "$build/work/$name" "$build/corpus/$name" "${budget[@]}" \
        -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 -max_len=2048 \
        -artifact_prefix="$build/crashes/$name-" >"$log" 2>&1
}

status=0
run_one hiscore & first=$!
run_one savegame & second=$!
wait $first || status=1
wait $second || status=1

printf '%-10s %14s %10s %10s %8s %9s\n' fuzzer executions exec/s coverage features crashes
for name in hiscore savegame; do
    log=$build/$name.log
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
    speed=$(grep -o 'exec/s: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*$' || echo 0)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*' || echo 0)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n1 | grep -o '[0-9]*' || echo 0)
    crashes=$(find "$build/crashes" -name "$name-*" | wc -l)
    printf '%-10s %14s %10s %10s %8s %9s\n' "$name" "$runs" "$speed" "$cov" "$ft" "$crashes"
    if [ "$crashes" -ne 0 ] || grep -q 'ERROR: \|broken: ' "$log"; then
        echo "$name found a fault; its input is in $build/crashes/ (keep it in fuzz/regressions/$name/):"
        grep -m5 'ERROR: \|broken: \|SUMMARY' "$log" || true
        status=1
    fi
done
exit $status
