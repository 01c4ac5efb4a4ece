#!/usr/bin/env bash
# The main window as a player meets it: the first start, typing into the profile page, the weapon
# style and the off-hand check box, the calculator page, the profile buttons, the compare-item
# dialog and loading another settings file. Checked from the outside: the settings file after a
# clean close, the texts and states the controls show, and screenshot pixels.
source "$(dirname "$0")/harness.sh"
gui_begin main_window
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
app="$GUI_WORK/app"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
ini="$app/Tallywick.ini"

# One float of a stored profile line: slot SLOT, stat STAT (the record's bytes are hex, little end
# first, 104 bytes a slot with the kind first).
stored_float() {  # FILE PROFILE SLOT STAT
    local line hex
    line=$(tr -d '\r' <"$1" | awk -v key="$2" '/^\[/ { in_profiles = ($0 == "[Profiles]") } in_profiles && index($0, key "=") == 1') || return 1
    hex=${line#*=}
    hex=${hex:$((($3 * 104 + 4 + $4 * 4) * 2)):8}
    printf '%s%s%s%s\n' "${hex:6:2}" "${hex:4:2}" "${hex:2:2}" "${hex:0:2}"
}
# Float bits as hex, big end first: 9999 = 461C3C00, 33 = 42040000.

radio_checked() {  # N: 1 when profile button N is checked
    grep -E "control id=$((1117 + $1)) class=Button .* visible=1 " "$GUI_CONTROLS" | sed -E 's/.* checked=([01]) .*/\1/'
}

start_program() {
    gui_launch tw "$app" "$app/Tallywick.exe"
    main=$(gui_wait_window "Tallywick") || gui_abort "the main window did not appear"
    sleep 1
}


# --- First start without a settings file: the defaults are written at close, byte for byte.
start_program
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the first run ends cleanly"
assert_ok "the first run writes the default settings file" cmp "$ini" "$GUI_ROOT/tests/gui/expected/first_run.ini"

# --- The profile page.
start_program
read -r _ _ width height <<<"$(gui_window_geometry "$main")"
gui_screenshot profile-page >/dev/null
gui_query_controls Tallywick || gui_abort "no controls"
assert_eq "1" "$(radio_checked 1)" "profile button 1 is checked"
assert_eq "4721" "$(gui_control_field 3005 text)" "the summary shows the default life"
assert_eq "1" "$(gui_control_field 1102 readonly)" "weapon 2 starts read-only"

gui_choose 1037 End  # 무기 유형: 쌍수
gui_query_controls Tallywick
assert_eq "0" "$(gui_control_field 1102 readonly)" "dual wield makes weapon 2 editable"
assert_eq "1" "$(gui_control_field 1007 readonly)" "dual wield makes the off-hand column read-only"
assert_eq "" "$(gui_control_field 1007 text)" "and empty"

gui_choose 1037 Home Down  # 양손
gui_query_controls Tallywick
assert_eq "1" "$(gui_control_field 1007 readonly)" "a two-hander without the check box has no off-hand"
gui_click_control 1164
sleep 0.5
gui_query_controls Tallywick
assert_eq "1" "$(gui_control_field 1164 checked)" "the off-hand check box is ticked"
assert_eq "0" "$(gui_control_field 1007 readonly)" "with it the off-hand column is editable"

# Typed values (a weapon kind change empties the weapon slots, so they come after the style).
gui_type_into 1098 12345  # 무기1 최소 무기 공격력
gui_type_into 1181 20000  # 최대 무기 공격력
gui_type_into 1099 1.4    # 초당 공격 횟수
gui_type_into 1007 33     # 보조 최소 피해 = slot 1 stat 9
gui_query_controls Tallywick
assert_eq "12345" "$(gui_control_field 1098 text)" "the field keeps what was typed"
assert_ok "the summary shows a damage" test -n "$(gui_control_field 3004 text)"

# One wheel notch over the main window scrolls the profile page: a field moves up. (The focus goes
# to the tab first: Wine's single-line edits keep wheel messages to themselves.)
before=$(gui_control_field 1098 y)
gui_click_tab 0
xdotool click 5
sleep 0.5
gui_query_controls Tallywick
after=$(gui_control_field 1098 y)
assert_ok "a wheel notch scrolls the profile page" test "$after" -lt "$before"
xdotool click 4 click 4 click 4
sleep 0.5

# --- The calculator page: an adjustment changes the modified summary and colours its indicator.
gui_click_tab 1
gui_query_controls Tallywick
damage_before=$(gui_control_field 2018 text)
gui_type_into 2009 100  # 지능 +100
sleep 0.5
gui_query_controls Tallywick
damage_after=$(gui_control_field 2018 text)
assert_ok "the adjustment raises the modified damage ($damage_before -> $damage_after)" \
    awk -v a="$damage_before" -v b="$damage_after" 'BEGIN { exit !(b + 0 > a + 0) }'
assert_eq "▲" "$(gui_control_field 2100 text | cut -c1-3)" "the damage indicator rises"
shot=$(gui_screenshot calculator-page)
x=$(gui_control_field 2100 x) y=$(gui_control_field 2100 y) w=$(gui_control_field 2100 w) h=$(gui_control_field 2100 h)
assert_ok "the rising indicator is drawn in red" test "$(gui_count_colour "$shot" "$x" "$y" "$w" "$h" FF0000)" -gt 5

# --- The compare-item dialog.
gui_click_control 2038
dialog=$(gui_wait_window "비교할 장비") || gui_abort "the compare-item dialog did not open"
gui_query_controls "비교할 장비"
cp "$GUI_CONTROLS" "$GUI_WORK/compare-1.log"
gui_choose 5012 End  # 반지
gui_query_controls "비교할 장비"
cp "$GUI_CONTROLS" "$GUI_WORK/compare-2.log"
assert_eq "반지" "$(gui_control_field 5012 text)" "the kind is a ring"
assert_eq "1" "$(gui_control_field 5020 readonly)" "a ring locks the weapon fields"
assert_eq "0" "$(gui_control_field 5001 readonly)" "and leaves the damage fields open"
gui_screenshot compare-dialog >/dev/null
gui_type_into 5008 50  # 지능
gui_key Return
assert_ok "Enter in an editable field submits" gui_wait_window_gone "$dialog" 10
gui_query_controls Tallywick
gui_click_control 2038
dialog=$(gui_wait_window "비교할 장비") || gui_abort "the compare-item dialog did not reopen"
gui_query_controls "비교할 장비"
assert_eq "반지" "$(gui_control_field 5012 text)" "the kind is kept on reopening"
assert_eq "" "$(gui_control_field 5008 text)" "the stats start empty"
gui_click_control 5000
gui_key Return
sleep 1
assert_ok "Enter in the read-only DPS field does not submit" gui_window_visible "$dialog"
gui_key Escape
gui_wait_window_gone "$dialog" 10

# --- Profile button 3: profile 1 is written first, then profile 3 is shown.
gui_query_controls Tallywick
gui_click_button 1120
sleep 1
assert_eq "461C3C00" "$(stored_float "$ini" 1 0 19)" "switching saves profile 1 with 12345 stored as 9999"
assert_eq "461C3C00" "$(stored_float "$ini" 1 0 20)" "and 20000 as 9999 too"
assert_eq "42040000" "$(stored_float "$ini" 1 1 9)" "and the off-hand's 33 in slot 1"
gui_click_tab 0
gui_query_controls Tallywick
assert_eq "" "$(gui_control_field 1098 text)" "profile 3 shows its own (empty) values"
assert_eq "1" "$(radio_checked 3)" "profile button 3 is checked"

# --- "INI 파일 불러오기": another settings file, chosen in the open-file dialog.
cp "$GUI_ROOT/samples/sample_settings.ini" "$GUI_WORK/other.ini"
read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
gui_click_screen $((mx + 20)) $((my + 31))
sleep 0.5
gui_key Down Return
sleep 2
open_dialog=$(xdotool search --onlyvisible --name '^(열기|Open)$' 2>/dev/null | head -n1)
assert_ok "the open-file dialog appears" test -n "$open_dialog"
gui_screenshot open-dialog >/dev/null
gui_type "$(gui_winpath "$GUI_WORK/other.ini")"
gui_key Return
alert=$(gui_wait_window "Tallywick Alert Popup" 10)
assert_ok "the loaded message appears in the alert popup" test -n "$alert"
gui_screenshot loaded-alert >/dev/null
gui_query_controls Tallywick
assert_eq "53484.02" "$(gui_control_field 3004 text)" "the summary shows the loaded profile's damage"
assert_eq "1" "$(radio_checked 1)" "and its active profile"
gui_screenshot after-loading >/dev/null

# --- A settings file the player made read-only: a profile switch that has an edit to save is
# refused and says why, and so does the save at the end; the file keeps its bytes.
chmod 444 "$GUI_WORK/other.ini"
cp "$GUI_WORK/other.ini" "$GUI_WORK/other.before"
gui_query_controls Tallywick
gui_type_into 1151 12  # 정복자 레벨
sleep 0.5
gui_query_controls Tallywick
edited=$(gui_control_field 3004 text)
gui_click_button 1119
box=$(gui_wait_window "Tallywick 알림" 10)
assert_ok "a refused profile switch is explained" test -n "$box"
gui_screenshot refused-switch >/dev/null
gui_keys_to "$box" Return
gui_wait_window_gone "$box" 5
gui_query_controls Tallywick
assert_eq "1" "$(radio_checked 1)" "the active profile stays 1"
assert_eq "$edited" "$(gui_control_field 3004 text)" "and the pages keep its edit"

gui_keys_to "$main" alt+F4
box=$(gui_wait_window "Tallywick 알림" 15)
assert_ok "a failed save at the end is shown" test -n "$box"
gui_screenshot refused-save >/dev/null
gui_keys_to "$box" Return
gui_wait_exit tw 20
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"
assert_ok "the read-only file keeps its bytes" cmp "$GUI_WORK/other.ini" "$GUI_WORK/other.before"
assert_file_contains "$GUI_WORK/other.ini" "Active Profile=1" "the loaded file keeps its own active profile"
gui_finish
