#!/usr/bin/env bash
# Runs the fuzzers for SECONDS each: read_fuzz (screen pictures through the whole read) with
# fuzz/seeds and fuzz/read_fuzz.dict, then ini_fuzz (settings files) with fuzz/ini_seeds and
# fuzz/ini_fuzz.dict. `read` or `ini` after SECONDS runs that one alone. The corpora grow in
# build/corpus/ from run to run; a finding is kept in build/fuzz-findings/ and the script then
# exits 1. Each run's log is build/fuzz-logs/NAME.log; a summary line per fuzzer is printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

usage() { echo "usage: scripts/fuzz.sh SECONDS [read|ini]" >&2; exit 2; }
[ $# -ge 1 ] && [ $# -le 2 ] || usage
seconds=$1
[[ $seconds =~ ^[1-9][0-9]*$ ]] || usage
which=${2:-both}
case $which in read | ini | both) ;; *) usage ;; esac

bash scripts/setup.sh

build=build/fuzz
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTALLYWICK_FUZZERS=ON -DTALLYWICK_BENCHMARKS=OFF -DTALLYWICK_TOOLS=OFF "${launcher[@]}" >/dev/null
targets=()
case $which in read) targets=(read_fuzz) ;; ini) targets=(ini_fuzz) ;; both) targets=(read_fuzz ini_fuzz) ;; esac
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null

mkdir -p build/fuzz-logs
found=0
for target in "${targets[@]}"; do
    name=${target%_fuzz}
    corpus=build/corpus/$name findings=build/fuzz-findings/$name log=build/fuzz-logs/$target.log
    mkdir -p "$corpus" "$findings"
    seeds=fuzz/seeds extra=(-max_len=65536)
    [ "$name" = ini ] && seeds=fuzz/ini_seeds extra=()
    # An input that takes over 30 s is a finding too: a read must never hang.
    args=("$corpus" "$seeds" -dict="fuzz/$target.dict" -max_total_time="$seconds" -timeout=30
        -artifact_prefix="$findings/" -print_final_stats=1 "${extra[@]}")
    echo "fuzz: $target for ${seconds}s (log $log)"
    status=0
    "$build/$target" "${args[@]}" >"$log" 2>&1 || status=$?
    # libFuzzer's last status line: "#RUNS DONE cov: N ft: N corp: ...", or the line before a crash.
    last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || true)
    cov=$(grep -oE 'cov: [0-9]+' <<<"$last" | grep -oE '[0-9]+' || true)
    ft=$(grep -oE 'ft: [0-9]+' <<<"$last" | grep -oE '[0-9]+' || true)
    corp=$(grep -oE 'corp: [0-9]+/[0-9]+[a-zA-Z]*' <<<"$last" || true)
    echo "fuzz: $target runs=${runs:-?} cov=${cov:-?} ft=${ft:-?} ${corp:-} exit=$status"
    if [ "$status" -ne 0 ]; then
        found=1
        echo "fuzz: $target found a fault; kept: $(ls "$findings" | tr '\n' ' ')" >&2
        grep -E 'ERROR|SUMMARY|check failed|deadly signal|timeout' "$log" | head -5 >&2 || true
    fi
done
exit $found
