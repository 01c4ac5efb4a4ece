#!/usr/bin/env bash
# The window harness end to end with the stand-in game alone: a composed tooltip screen shown 1:1
# is on the display pixel for pixel; real key presses, typing and clicks reach the game's window;
# a held global hotkey takes its key press and refuses a second registration; client coordinates of
# a framed window hit their point under its Korean caption; closing with Alt+F4 ends the programs with status 0.
source "$(dirname "$0")/harness.sh"

gui_begin standin
gui_start_display 1280x1024 || gui_abort "an X display of 1280 x 1024"
gui_prepare_prefix || gui_abort "the Wine prefix"

# A ring's tooltip on a 1280 x 1024 desktop.
cat >"$GUI_WORK/scene.txt" <<'EOF'
screen 1280 1024
seed 11
tooltip 700 150 450 700
kind 9
line 7 82
line 15 51
line 13 9 %
EOF
log="$GUI_WORK/game.log"
gui_launch game "$GUI_WORK" "$TALLYWICK_STANDIN" --scene "$(gui_winpath "$GUI_WORK/scene.txt")" \
    --save-picture "$(gui_winpath "$GUI_WORK/picture.bmp")" --log "$(gui_winpath "$log")" --hold-hotkey ctrl,1
game=$(gui_wait_window "Stand-in Game") || gui_abort "the stand-in game's window appears"
assert_log_line "$log" ' ready .*screen=1280x1024 picture=1280x1024' "the game reports ready on a 1280 x 1024 screen"
assert_file_contains "$log" 'hold-hotkey mod=0x2 vk=0x31 registered' "the game holds Ctrl+1"
assert_eq "0 0 1280 1024" "$(gui_window_geometry "$game")" "the game's window covers the screen"
assert_ok "the game's window is viewable" gui_window_visible "$game"
assert_eq "0 0 1280 1024" "$(gui_client_rect "Stand-in Game")" "Windows sees the same client area"
assert_log_line "$log" 'set-focus' "the game has the keyboard focus at start"

# The picture on the screen, pixel for pixel; the tooltip is black with ink on it.
sleep 0.5
shot=$(gui_screenshot game-screen)
picture="$GUI_WORK/picture.bmp"
assert_eq 0 "$(gui_region_diff "$shot" 700 150 "$picture" 700 150 450 700)" "the tooltip's pixels are on the screen"
assert_eq 0 "$(gui_region_diff "$shot" 0 0 "$picture" 0 0 1280 1024)" "the whole screen is the picture"
assert_pixel "$shot" 700 150 000000 "the tooltip's top-left corner is black"
black=$(gui_count_colour "$shot" 700 150 450 700 000000)
assert_ok "the tooltip is mostly black with some ink ($black of 315000 black)" \
    test "$black" -gt 250000 -a "$black" -lt 315000

# Keys, typing and key combinations reach the focused game.
gui_key a
assert_log_line "$log" 'key-down vk=0x41 ' "a key press arrives as WM_KEYDOWN"
assert_log_line "$log" 'char code=0x0061' "and as the character 'a'"
gui_type "Hi"
assert_log_line "$log" 'char code=0x0048' "typed 'H' arrives"
assert_log_line "$log" 'char code=0x0069' "typed 'i' arrives"
gui_key F9 Escape Return Tab ctrl+shift+2
for vk in 78 1B 0D 09 10 32; do
    assert_log_line "$log" "key-down vk=0x$vk " "key 0x$vk arrives"
done
assert_log_line "$log" 'key-up vk=0x32' "the key of Ctrl+Shift+2 is let go"

# The held hotkey takes its key press: the game gets WM_HOTKEY, not the key.
gui_key ctrl+1
assert_log_line "$log" 'hotkey id=1 mod=0x2 vk=0x31' "Ctrl+1 arrives as the held hotkey"
assert_eq 0 "$(gui_line_count "$log" 'key-down vk=0x31 ')" "the hotkey's key press does not reach the window"

# A second registration of the held combination is refused; another combination is free.
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --probe-hotkey ctrl,1 --log "$(gui_winpath "$GUI_WORK/probe.log")"
assert_eq 1 $? "a second program cannot register Ctrl+1"
assert_file_contains "$GUI_WORK/probe.log" 'probe-hotkey mod=0x2 vk=0x31 refused error=1409' \
    "it is refused as already registered"
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --probe-hotkey ctrl+shift,1 --log "$(gui_winpath "$GUI_WORK/probe.log")"
assert_eq 0 $? "a second program can register Ctrl+Shift+1"

# Clicks at screen points and at window-relative points.
gui_click_screen 100 200
assert_log_line "$log" 'button-down left x=100 y=200' "a left click at a screen point arrives there"
assert_log_line "$log" 'button-up left x=100 y=200' "and is let go there"
gui_click "$game" 300 400 3
assert_log_line "$log" 'button-down right x=300 y=400' "a right click at a window point arrives there"
assert_file_lacks "$log" 'kill-focus' "the game kept the focus through all of it"

# A framed window with a Korean title: Wine draws its frame and caption (the prefix says so), so its
# X window is the whole window rectangle and client coordinates lie inside it.
title="틀 있는 창"
flog="$GUI_WORK/framed.log"
gui_launch framed "$GUI_WORK" "$TALLYWICK_STANDIN" --framed --title "$title" --log "$(gui_winpath "$flog")"
framed=$(gui_wait_window "$title") || gui_abort "the framed window appears under its Korean title"
assert_log_line "$flog" ' ready ' "the framed window reports ready"
assert_eq "$title" "$(gui_window_title "$framed")" "the X window carries the Korean title"
assert_eq "100 100 400 300" "$(gui_window_geometry "$framed")" "the X window is the whole window rectangle"
client=$(gui_client_rect "$title")
read -r cx cy cw ch <<<"$client"
assert_ok "the client area ($client) lies inside the frame, below the caption" \
    test "${cx:-0}" -gt 100 -a "${cy:-0}" -gt 115 -a $((${cx:-0} + ${cw:-999})) -lt 500 -a $((${cy:-0} + ${ch:-999})) -lt 400
gui_click_client "$title" 10 20
assert_log_line "$flog" 'button-down left x=10 y=20' "a click at client point (10, 20) arrives there"
gui_window_shot "$framed" framed-window >/dev/null
gui_close_window "$framed" framed
assert_eq 0 "$GUI_EXIT_CODE" "Alt+F4 closes the framed window and its program ends with status 0"
assert_file_contains "$flog" 'destroy' "the framed window was destroyed"

gui_close_window "$game" game
assert_eq 0 "$GUI_EXIT_CODE" "Alt+F4 closes the game and it ends with status 0"
assert_file_contains "$log" 'close' "the game received WM_CLOSE"
gui_finish
