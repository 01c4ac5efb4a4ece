#!/usr/bin/env bash
# See the real program work: builds Tallywick.exe, starts it under Wine on a private X display with
# the stand-in game showing the bundled sample screen, presses Ctrl+2 (compare) as a player would,
# and prints the path of a screenshot of the result, plus the program's timing lines.
#
#   bash scripts/demo.sh [--size 2560x1440] [--presses N]
#
# --presses N presses Ctrl+2 N times (one after the other) and prints the median time of each
# stage from the program's --log lines, and of the time until the popup was shown.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
size=2560x1440
presses=1
while [ $# -gt 0 ]; do
    case $1 in
        --size) size=$2; shift 2 ;;
        --presses) presses=$2; shift 2 ;;
        *) echo "usage: $0 [--size WxH] [--presses N]" >&2; exit 2 ;;
    esac
done

bash "$root/scripts/setup.sh"
build="$root/build/win"
mkdir -p "$root/build"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$root/build/demo.configure.log" 2>&1
cmake --build "$build" -j2 --target Tallywick standin_game >"$root/build/demo.build.log" 2>&1 ||
    { tail -n 30 "$root/build/demo.build.log"; exit 1; }

export TALLYWICK_BUILD_DIR="$build"
source "$root/tests/gui/harness.sh"
gui_begin demo
gui_start_display "$size" || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
w=${size%x*} h=${size#*x}
# The sample screen is 2560 x 1440; other sizes get the same tooltip composed at their size, where
# the sample has it or as far right and down as a smaller screen allows.
if [ "$size" = 2560x1440 ]; then
    gui_start_game --picture "$root/samples/sample_screen.png" || gui_abort "no game"
else
    tx=$((w - 490 < 1580 ? w - 490 : 1580)) ty=$((h - 740 < 260 ? h - 740 : 260))
    sed -e "s/^screen .*/screen $w $h/" -e "s/^tooltip [0-9]* [0-9]* /tooltip $tx $ty /" \
        "$root/samples/sample_screen.txt" >"$GUI_WORK/scene.txt"
    gui_start_game --scene "$GUI_WORK/scene.txt" || gui_abort "no game"
fi
app="$GUI_WORK/app"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
cp "$root/samples/sample_settings.ini" "$app/Tallywick.ini"
log="$GUI_WORK/actions.log"
gui_launch tw "$app" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window"
sleep 1
gui_click_screen 100 $((h - 50))  # back to the game
sleep 0.5
for ((i = 1; i <= presses; i++)); do
    gui_key ctrl+2
    gui_wait_line "$log" "^action=3 " 20 >/dev/null
    while [ "$(grep -c '^action=' "$log")" -lt "$i" ]; do sleep 0.2; done
done
sleep 1.5  # the modified-stats popup fades in
shot=$(gui_screenshot demo-result)
assert_log_line "$log" '^action=3 outcome=compared ' "Ctrl+2 compared the sample item"
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1
gui_close_window "$main" tw
echo "== the program's action log"
cat "$log"
if [ "$presses" -gt 1 ]; then
    echo "== medians over $presses presses at $size (ms)"
    for stage in capture locate wait parse act total shown; do
        grep -o "${stage}_ms=[0-9.]*" "$log" | cut -d= -f2 | sort -n |
            awk -v s="$stage" '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%-8s %.3f\n", s, m }'
    done
fi
echo "== screenshot: $shot"
gui_finish
