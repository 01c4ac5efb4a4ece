#!/usr/bin/env bash
# The player's work kept and the program answering, checked on the settings file and the windows: a
# wheel notch with the wheel set to scroll a screen at a time; the command-line tool writing while
# the program runs (both sides of a profile both changed kept, a message box saying where); a logoff
# (wineboot -e) after an edit; a settings folder named beside the program, read at the next start;
# a damaged profile in a read-only file, then in a writable one, and an unreadable file, at start.
source "$(dirname "$0")/harness.sh"
gui_begin settings_kept
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
app="$GUI_WORK/app" app2="$GUI_WORK/app2" inidir="$GUI_WORK/inidir"
mkdir -p "$app" "$app2" "$inidir"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
cp "$TALLYWICK_EXE" "$app2/Tallywick.exe"
ini="$app/Tallywick.ini" ini2="$app2/Tallywick.ini"
cli="$TALLYWICK_BUILD_DIR/cli/tallywick-cli.exe"
first_run="$GUI_ROOT/tests/gui/expected/first_run.ini"

profile_line() {  # FILE N: the stored value of profile N
    tr -d '\r' <"$1" | awk -v k="$2" '/^\[/ { p = ($0 == "[Profiles]") } p && index($0, k "=") == 1 { print substr($0, length(k) + 2) }'
}
paragon() {  # FILE N: profile N's paragon level (offset 1384) as float bits: 55 = 425C0000, 77 = 429A0000, 88 = 42B00000
    local hex
    hex=$(profile_line "$1" "$2")
    echo "${hex:2774:2}${hex:2772:2}${hex:2770:2}${hex:2768:2}"
}
start_program() {  # DIR
    gui_launch tw "$1" "$1/Tallywick.exe"
    main=$(gui_wait_window "Tallywick") || gui_abort "the main window did not appear"
    sleep 1
}
type_paragon() {  # VALUE: typed into "정복자 레벨"
    gui_query_controls Tallywick || gui_abort "the program does not answer"
    gui_type_into 1151 "$1"
    sleep 0.5
}
message_box() {  # SHOT: waits for the box "Tallywick 알림", keeps its text in $text, shoots it and answers OK
    box=$(gui_wait_window "Tallywick 알림" 15) || return 1
    gui_query_controls "Tallywick 알림"
    text=$(grep -E 'class=Static .* visible=1 ' "$GUI_CONTROLS" | sed 's/.* text=//' | tr '\n' ' ')
    gui_window_shot "$box" "$1" >/dev/null
    gui_keys_to "$box" Return
    gui_wait_window_gone "$box" 10
}
wheel_lines() {  # N: the system's wheel-scroll-lines setting (-1: a screen at a time)
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"WheelScrollLines"="%s"\r\n' "$1" |
        iconv -f UTF-8 -t UTF-16 >"$GUI_WORK/wheel.reg"
    wine regedit /S "$(gui_winpath "$GUI_WORK/wheel.reg")" >/dev/null 2>&1 </dev/null
}
trap '_rc=$?; wheel_lines 3; (exit $_rc); _gui_cleanup' EXIT

# --- A wheel notch a screen at a time; then the tool writes profiles 1 and 2 while the program has
# an edit of profile 1.
cp "$first_run" "$ini"
wheel_lines -1
start_program "$app"
gui_query_controls Tallywick
top=$(gui_control_field 1098 y)
gui_click_tab 0  # the tab passes the wheel on to the main window
xdotool click 5 sleep 1 click 5 sleep 1
gui_query_controls Tallywick || gui_abort "the program does not answer after a wheel notch"
assert_ok "a notch down scrolls the profile page" test "$(gui_control_field 1098 y)" -lt "$top"
xdotool click 4 sleep 1
gui_query_controls Tallywick
assert_eq "$top" "$(gui_control_field 1098 y)" "a notch up is a page back to the top"
wheel_lines 3
type_paragon 55
screen=$(gui_winpath "$GUI_ROOT/samples/sample_screen.png")
gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$ini")" "$screen" --write &&
    gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$ini")" "$screen" --write --profile 2
assert_eq 0 $? "the tool equips into profiles 1 and 2 while the program runs"
tool_one=$(profile_line "$ini" 1) tool_two=$(profile_line "$ini" 2)
gui_keys_to "$main" alt+F4
message_box conflict || gui_abort "no message box about the tool's profile"
gui_wait_exit tw 20
assert_eq 0 "$GUI_EXIT_CODE" "the program closes normally"
assert_eq "425C0000 $tool_two" "$(paragon "$ini" 1) $(profile_line "$ini" 2)" "profile 1 is the program's, profile 2 the tool's"
assert_eq "$tool_one" "$(profile_line "$ini.conflict-1" 1)" "the tool's profile 1 is kept in Tallywick.ini.conflict-1"
assert_ok "the box says so and where ($text)" grep -q "다른 프로그램이 프로필 1번을 바꾸어.*Tallywick.ini.conflict-1" <<<"$text"

# --- Logoff right after an edit.
start_program "$app"
type_paragon 77
wineboot -e >"$GUI_ARTIFACTS/wineboot-end.out" 2>&1 </dev/null
gui_wait_exit tw 30
assert_ok "the end of the session ends the program" test "$GUI_EXIT_CODE" != timeout
assert_eq "429A0000" "$(paragon "$ini" 1)" "the file holds the edit made before the session ended"

# --- A settings folder typed into the settings dialog is where the next start reads.
start_program "$app"
read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
gui_click_screen $((mx + 55)) $((my + 31))
dialog=$(gui_wait_window "설정" 10) || gui_abort "the settings dialog did not open"
gui_query_controls "설정"
gui_type_into 1008 "$(gui_winpath "$inidir")"
gui_key Escape
gui_wait_window_gone "$dialog" 10
type_paragon 88
gui_close_window "$main" tw
assert_eq "42B00000 429A0000" "$(paragon "$inidir/Tallywick.ini" 1) $(paragon "$ini" 1)" \
    "the edit goes to the folder's file, the file beside the program keeps its own"
assert_eq "INI=$(gui_winpath "$inidir")" "$(tr -d '\r' <"$ini" | grep '^INI=')" "which names the folder"
start_program "$app"
gui_query_controls Tallywick
assert_eq "88" "$(gui_control_field 1151 text)" "the next start shows the folder's profile"
gui_close_window "$main" tw

# --- At start: a damaged profile in a read-only file (a save at the end fails and says so), then
# in the same file made writable.
line=$(profile_line "$first_run" 1)
sed "s/^1=${line}/1=${line:0:100}1${line:101}/" "$first_run" >"$ini2"
cp "$ini2" "$GUI_WORK/damaged.ini"
chmod 444 "$ini2"
start_program "$app2"
message_box start-damaged-read-only || gui_abort "no message box at start"
assert_ok "the box tells the damaged profile and where it is kept" grep -q "프로필 1번을 읽을 수 없어.*Tallywick.ini.damaged-1" <<<"$text"
assert_ok "and that the file cannot be saved ($text)" grep -q "설정 파일에 저장할 수 없습니다.*read-only" <<<"$text"
assert_ok "the damaged file is kept before anything is written" cmp "$ini2.damaged-1" "$GUI_WORK/damaged.ini"
gui_keys_to "$main" alt+F4
message_box close-read-only
gui_wait_exit tw 20
assert_ok "the read-only file keeps its bytes" cmp "$ini2" "$GUI_WORK/damaged.ini"
chmod 644 "$ini2"
start_program "$app2"
message_box start-damaged || gui_abort "no message box at the second start"
assert_ok "the same copy is named again ($text)" grep -q "Tallywick.ini.damaged-1" <<<"$text"
gui_close_window "$main" tw
assert_eq "$line" "$(profile_line "$ini2" 1)" "at the end the damaged line is replaced by the default profile"
assert_ok "with no second copy" test ! -e "$ini2.damaged-2"

# --- At start: a file that is not a settings file is told, and left as it is.
printf '[Options]\r\nActive Profile=3\r\n\0\0\0' >"$ini2"
cp "$ini2" "$GUI_WORK/nul.ini"
start_program "$app2"
message_box start-unreadable || gui_abort "no message box for an unreadable file"
assert_ok "the box says it cannot be read and will not be replaced ($text)" \
    grep -q "설정 파일을 읽을 수 없어 기본 설정으로 시작합니다.*not a text file" <<<"$text"
gui_keys_to "$main" alt+F4
message_box close-unreadable
gui_wait_exit tw 20
assert_eq 0 "$GUI_EXIT_CODE" "the program closes normally"
assert_ok "the unreadable file keeps its bytes" cmp "$ini2" "$GUI_WORK/nul.ini"
gui_finish
