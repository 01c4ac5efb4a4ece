#!/usr/bin/env bash
# Builds and runs every test: (a) the native Release build, (b) the native build with
# AddressSanitizer and UndefinedBehaviorSanitizer, (c) the Windows cross build under Xvfb and Wine.
# Prints each CTest summary and a total; exits non-zero if any build or test fails.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=2

bash scripts/setup.sh || { echo "setup failed"; exit 1; }

summaries=()
passed=0
failed=0
status=0

# Runs "ctest ..." (given as arguments), keeps its summary line and adds its counts to the total.
record_ctest() {
    local stage=$1
    shift
    local log="$root/build/$stage.ctest.log"
    "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
    if [ -z "$line" ]; then
        line="no tests were run"
        rc=1
    else
        local total bad
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
        bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
        passed=$((passed + total - bad))
        failed=$((failed + bad))
        if [ "$total" -eq 0 ]; then rc=1; fi
    fi
    summaries+=("$stage: $line")
    if [ "$rc" -ne 0 ]; then status=1; fi
}

# Configures and builds one tree; on failure records the stage as failed and returns non-zero.
build_tree() {
    local stage=$1
    shift
    echo "=== $stage: configure and build"
    if cmake -S "$root" -B "$root/build/$stage" "$@" >"$root/build/$stage.configure.log" 2>&1 &&
        cmake --build "$root/build/$stage" -j"$jobs" >"$root/build/$stage.build.log" 2>&1; then
        return 0
    fi
    tail -n 60 "$root/build/$stage.configure.log" "$root/build/$stage.build.log" 2>/dev/null
    summaries+=("$stage: build failed (see build/$stage.build.log)")
    failed=$((failed + 1))
    status=1
    return 1
}

mkdir -p "$root/build"

# The folders form a one-way stack; an include that points up fails the run.
if bash scripts/check_layers.sh; then
    summaries+=("layers: no include points up")
else
    summaries+=("layers: includes point up (see above)")
    failed=$((failed + 1))
    status=1
fi

# (a) Native Release build with benchmarks and tools.
if build_tree native -DCMAKE_BUILD_TYPE=Release; then
    echo "=== native: ctest"
    record_ctest native ctest --test-dir "$root/build/native" --output-on-failure -j"$jobs"
fi

# (b) Native build under the sanitizers; any report stops the test that made it.
if build_tree asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLYWICK_SANITIZE=ON -DTALLYWICK_BENCHMARKS=OFF \
    -DTALLYWICK_TOOLS=OFF; then
    echo "=== asan: ctest"
    export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    record_ctest asan ctest --test-dir "$root/build/asan" --output-on-failure -j"$jobs"
fi

# (c) Windows cross build, tests run by Wine on a private X server. The Wine prefix is made once.
if build_tree win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release; then
    echo "=== win: ctest under Xvfb and Wine"
    export WINEPREFIX="${TALLYWICK_WINEPREFIX:-$root/build/wineprefix}"
    export WINEDEBUG=-all
    export WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer dialogs
    if locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
        export LANG=ko_KR.UTF-8
    else
        echo "warning: the ko_KR.UTF-8 locale is missing; the Wine tests run in C.UTF-8"
        export LANG=C.UTF-8
    fi
    unset LC_ALL
    # The window contents are checked pixel by pixel, so the screen needs 24-bit colour.
    record_ctest win xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "Creating the Wine prefix $WINEPREFIX"
            wineboot -i >/dev/null 2>&1
            wineserver -w
        fi
        ctest --test-dir "$1" --output-on-failure
        rc=$?
        wineserver -w
        exit $rc' bash "$root/build/win"
fi

echo
echo "=== Summary"
for s in "${summaries[@]}"; do echo "$s"; done
echo "total: $passed passed, $failed failed"
exit $status
