#!/usr/bin/env bash
# The harness on a large screen of its own: a private Xvfb of $GUI_SCREEN (default 2560x1440; run by
# hand with GUI_SCREEN=3840x2160 for the other size the game runs at) shows the bundled sample
# screen through the stand-in game, pixel for pixel, and the game reads its clicks at that size.
source "$(dirname "$0")/harness.sh"

size=${GUI_SCREEN:-2560x1440}
gui_begin "standin_sizes_${size}"
# A private display even when the caller has one: this scenario is about the size.
unset DISPLAY
gui_start_display "$size" || gui_abort "an X display of $size"
gui_prepare_prefix || gui_abort "the Wine prefix"
read -r width height <<<"$(gui_screen_size)"
assert_eq "${size%x24}" "${width}x${height}" "the display has the size asked for"

sample="$GUI_ROOT/samples/sample_screen.png"
gui_start_game --picture "$sample" || gui_abort "the stand-in game comes up showing the sample screen"
game=$GUI_GAME_WID log=$GUI_GAME_LOG
assert_log_line "$log" " ready .*screen=${width}x${height} picture=2560x1440" \
    "Windows sees the whole ${width} x ${height} screen and the sample picture"
assert_eq "0 0 $width $height" "$(gui_window_geometry "$game")" "the game's window covers the screen"

sleep 0.5
shot=$(gui_screenshot sample-screen)
# The sample's tooltip body is at (1580, 260), 450 x 700.
assert_eq 0 "$(gui_region_diff "$shot" 1580 260 "$sample" 1580 260 450 700)" "the sample's tooltip is on the screen pixel for pixel"
assert_eq 0 "$(gui_region_diff "$shot" 0 0 "$sample" 0 0 2560 1440)" "the whole sample picture is on the screen"
if [ "$width" -gt 2560 ]; then
    assert_eq $(((width - 2560) * height)) "$(gui_count_colour "$shot" 2560 0 $((width - 2560)) "$height" 404040)" \
        "right of the picture the game is plain grey"
fi

gui_click_screen $((width - 7)) $((height - 5))
assert_log_line "$log" "button-down left x=$((width - 7)) y=$((height - 5))" "a click near the far corner arrives there"
gui_close_window "$game" game
assert_eq 0 "$GUI_EXIT_CODE" "Alt+F4 closes the game"
gui_finish
