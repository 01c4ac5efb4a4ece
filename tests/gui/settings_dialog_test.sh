#!/usr/bin/env bash
# The settings dialog and the about box as a player meets them, through the menu: the first view,
# a socket choice, two hotkeys and the tolerances changed and closed with Escape; the hotkeys the
# system refused shown as taken; the about box's texts. Checked from the outside: the controls'
# texts, which combinations another program can still register, and the settings file after a
# clean close, line by line as the file stores them.
source "$(dirname "$0")/harness.sh"
gui_begin settings_dialog
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
app="$GUI_WORK/app"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
ini="$app/Tallywick.ini"

# A struct line of the settings file: the little-endian bytes of 32-bit values as hex, then their
# byte sum (modulo 256).
struct_hex() {  # VALUES...
    local v i sum=0 hex=""
    for v in "$@"; do
        for ((i = 0; i < 4; i++)); do
            hex+=$(printf '%02X' $(((v >> (8 * i)) & 255)))
            sum=$(((sum + ((v >> (8 * i)) & 255)) % 256))
        done
    done
    printf '%s%02X\n' "$hex" "$sum"
}
ini_line() {  # KEY: the first line of the settings file that starts with KEY=
    tr -d '\r' <"$ini" | grep -m1 -E "^$1="
}
probe() {  # MOD,KEY: "registered" or "refused" for another program
    rm -f "$GUI_WORK/probe.log"
    gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --probe-hotkey "$1" --log "$(gui_winpath "$GUI_WORK/probe.log")"
    grep -oE 'registered|refused' "$GUI_WORK/probe.log" | head -n1
}
menu_item() {  # X-OFFSET: clicks the menu bar of the main window at that distance from its left edge
    local mx my
    read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
    gui_click_screen $((mx + $1)) $((my + 31))
}
open_settings() {
    menu_item 55
    dialog=$(gui_wait_window "설정" 10) || gui_abort "the settings dialog did not open"
    sleep 0.5
    gui_query_controls "설정" || gui_abort "no controls in the settings dialog"
}

browser_window() {  # the folder browser's X window id, once it shows (its title is the system's)
    local i w
    for ((i = 0; i < 50; i++)); do
        w=$(xdotool search --onlyvisible --name '^(폴더 탐색|폴더 찾아보기|Browse for Folder)$' 2>/dev/null | head -n1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.2
    done
    return 1
}

# The capture slot starts as Ctrl+1, which the first slot registers before it; another program
# holds Ctrl+Shift+2 (the fourth slot's). The image folder is a folder with a subfolder on the
# prefix's drive C: (the browser opens at it).
pics_win='C:\tallywick-settings-test'
rm -rf "$WINEPREFIX/drive_c/tallywick-settings-test"
mkdir -p "$WINEPREFIX/drive_c/tallywick-settings-test/sub"
printf '[HotKey]\r\n4=%s\r\n[File Path]\r\nImage=%s\r\n' "$(struct_hex 14 4005 0x31 2)" "$pics_win" >"$ini"
gui_start_game --hold-hotkey ctrl+shift,2 || gui_abort "the stand-in game did not start"
assert_log_line "$GUI_GAME_LOG" 'hold-hotkey .* registered' "the stand-in holds Ctrl+Shift+2"
gui_launch tw "$app" "$app/Tallywick.exe"
main=$(gui_wait_window "Tallywick") || gui_abort "the main window did not appear"
sleep 1

# --- The first view: defaults, and notes beside the two refused slots only.
open_settings
cp "$GUI_CONTROLS" "$GUI_WORK/settings-1.log"
gui_screenshot settings-dialog >/dev/null
gui_window_shot "$dialog" settings-dialog-window >/dev/null
for id in 4011 4012 4013 4014 4015 4016; do
    assert_eq "기본" "$(gui_control_field $id text)" "socket list $id starts at 기본"
done
assert_eq "BMP" "$(gui_control_field 4019 text)" "the image format starts at BMP"
assert_eq "10 5 8" "$(gui_control_field 4106 text) $(gui_control_field 4107 text) $(gui_control_field 4108 text)" \
    "the tolerance labels show 10, 5 and 8"
assert_eq "1 1" "$(gui_control_field 4023 checked) $(gui_control_field 4017 checked)" "both check boxes are ticked"
assert_eq "$pics_win" "$(gui_control_field 1007 text)" "the image folder field shows the folder"
assert_eq "" "$(gui_control_field 1008 text)" "the settings folder field is empty"
assert_eq "" "$(gui_control_field 4110 text)$(gui_control_field 4111 text)$(gui_control_field 4112 text)" \
    "the registered slots have no note"
assert_eq "다른 프로그램이 사용 중" "$(gui_control_field 4113 text)" "the slot another program holds is shown as taken"
assert_eq "위 단축키가 사용 중" "$(gui_control_field 4114 text)" "the slot an earlier slot took is shown as taken"
assert_eq "registered" "$(probe ctrl,1)" "while the dialog is open the hotkeys are given back"

# --- Changes: a socket choice, two hotkeys, the tolerances.
gui_choose 4013 End  # 장착할 장비 / 기타: 활력 +58
gui_choose 4014 Home Down  # 비교할 장비 / 무기: 빈 홈
gui_click_control 4000
gui_key ctrl+3
gui_click_control 4005
gui_key F8
gui_click_control 4103
gui_key End  # 아이템 종류 to 20
sleep 0.3
gui_query_controls "설정"
assert_eq "20" "$(gui_control_field 4106 text)" "the kind slider at its end shows 20"
assert_eq "" "$(gui_control_field 4114 text)" "a changed hotkey field loses its old note"
gui_click_control 4100  # 기본값
gui_click_control 4105
gui_key Home  # 옵션 수치 to 1
sleep 0.3
gui_query_controls "설정"
assert_eq "10" "$(gui_control_field 4106 text)" "기본값 puts the kind tolerance back to 10"
assert_eq "1" "$(gui_control_field 4108 text)" "the value slider at its start shows 1"
assert_eq "활력 +58" "$(gui_control_field 4013 text)" "the socket choice is shown"
gui_screenshot settings-dialog-changed >/dev/null
gui_key Escape
assert_ok "Escape closes the settings dialog" gui_wait_window_gone "$dialog" 10

# The new combinations are Tallywick's now, the old ones free for anyone.
assert_eq "refused" "$(probe ctrl,3)" "Ctrl+3 is registered after the dialog closes"
assert_eq "refused" "$(probe none,F8)" "F8 is registered after the dialog closes"
assert_eq "registered" "$(probe ctrl,1)" "the old Ctrl+1 is no longer held"
assert_eq "registered" "$(probe none,F9)" "F9 was never held"

# --- Reopening shows the changes kept in memory; the held slot is still taken.
open_settings
assert_eq "활력 +58" "$(gui_control_field 4013 text)" "the socket choice is kept"
assert_eq "빈 홈" "$(gui_control_field 4014 text)" "the compare weapon choice is kept"
assert_eq "10 5 1" "$(gui_control_field 4106 text) $(gui_control_field 4107 text) $(gui_control_field 4108 text)" \
    "the tolerances are kept"
assert_eq "다른 프로그램이 사용 중" "$(gui_control_field 4113 text)" "the held slot is still taken"
assert_eq "" "$(gui_control_field 4110 text)$(gui_control_field 4114 text)" "the changed slots work"

# "경로 변경": cancelling the browser keeps the folder; choosing the subfolder of the one it opens at
# shows it. A settings folder typed by hand decides where the file is written at the end.
gui_click_control 4010
browser=$(browser_window) || gui_abort "the folder browser did not open"
sleep 1
gui_screenshot folder-browser >/dev/null
gui_key Escape
gui_wait_window_gone "$browser" 10
gui_query_controls "설정"
assert_eq "$pics_win" "$(gui_control_field 1007 text)" "a cancelled browser leaves the folder"
gui_click_control 4010
browser=$(browser_window) || gui_abort "the folder browser did not reopen"
sleep 1
gui_key Right Down Return  # open the selected folder, its first subfolder, confirm
gui_wait_window_gone "$browser" 10
ini_dir="$GUI_WORK/inidir"
mkdir -p "$ini_dir"
gui_type_into 1008 "$(gui_winpath "$ini_dir")"
gui_query_controls "설정"
assert_eq "$pics_win\sub" "$(gui_control_field 1007 text)" "the chosen subfolder is shown"
gui_key Escape
gui_wait_window_gone "$dialog" 10

# --- The about box.
menu_item "${ABOUT_X:-140}"
about=$(gui_wait_window "정보" 10) || gui_abort "the about box did not open"
sleep 0.5
gui_query_controls "정보" || gui_abort "no controls in the about box"
cp "$GUI_CONTROLS" "$GUI_WORK/about.log"
gui_screenshot about-box >/dev/null
gui_window_shot "$about" about-box-window >/dev/null
assert_eq "Tallywick v$(head -n1 "$GUI_ROOT/VERSION")" "$(gui_control_field 1110 text)" "the about box names the version"
assert_eq "2012/09/23" "$(gui_control_field 1111 text)" "and the release date"
assert_eq "   Tallywick는 아래의 블로그 주소를 통해 정식으로 배포됩니다.  프로그램에 대한 의견은 언제나 환영합니다." \
    "$(gui_control_field 1109 text)" "and the distribution note (line breaks shown as spaces)"
assert_eq "1" "$(gui_control_field 1109 readonly)" "the note cannot be edited"
assert_file_contains "$GUI_CONTROLS" 'control id=6000 class=SysLink .* text=<a>https://tallywick.github.io/</a>$' \
    "the link points at the distribution page"
assert_eq "registered" "$(probe ctrl,3)" "while the about box is open the hotkeys are given back"
gui_key Escape
assert_ok "Escape closes the about box" gui_wait_window_gone "$about" 10
assert_eq "refused" "$(probe ctrl,3)" "after the about box the hotkeys are registered again"

# --- The settings file after a clean close holds the changes as the file stores them.
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"
assert_ok "the settings file is written in the typed settings folder" test -f "$ini_dir/Tallywick.ini"
assert_eq "INI=$(gui_winpath "$ini_dir")" "$(tr -d '\r' <"$ini_dir/Tallywick.ini" | grep -m1 '^INI=')" \
    "which it names as the settings folder"
ini="$ini_dir/Tallywick.ini"
assert_eq "Image=$pics_win\sub" "$(ini_line Image)" "the chosen image folder is stored"
assert_eq "Socket Options=$(struct_hex 0 0 3 1 0 0)" "$(ini_line 'Socket Options')" "the socket choices are stored"
assert_eq "Error Limit=$(struct_hex 10 5 1)" "$(ini_line 'Error Limit')" "the tolerances are stored"
assert_eq "0=$(struct_hex 10 4000 0x33 2)" "$(ini_line 0)" "the first hotkey is Ctrl+3"
assert_eq "3=$(struct_hex 13 4004 0x32 6)" "$(ini_line 3)" "the held hotkey keeps its combination"
assert_eq "4=$(struct_hex 14 4005 0x77 0)" "$(ini_line 4)" "the capture hotkey is F8"
gui_finish
