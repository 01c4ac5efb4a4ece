#!/usr/bin/env bash
# Teaching Tallywick a screen from inside the program, as a new player does. The stand-in game shows
# a screen in a smaller face whose digits, points and tildes touch, which the built-in pictures
# cannot read: Ctrl+1 fails with the pictures alert. "글자 팩 만들기",
# opened from the menu on that capture, is filled through its control ids and learns; a folder that
# cannot be written is named and changes nothing; the first tooltip waits for the digit grid. Two
# more (one captured, which settles the first, one opened as a PNG screenshot) complete the pack,
# each pre-filled further than the one before; then Ctrl+1 equips
# two untaught items exactly as the command-line reader does with the same pack, and a later
# tooltip comes pre-filled in full.
source "$(dirname "$0")/harness.sh"
gui_begin learn_dialog
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
scenes="$GUI_ROOT/tests/gui/scenes"
cli="$TALLYWICK_BUILD_DIR/cli/tallywick-cli.exe"
app="$GUI_WORK/app"
pack="$app/glyphs/1920x1200"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
cp "$GUI_ROOT/tests/gui/expected/first_run.ini" "$app/Tallywick.ini"
cp "$app/Tallywick.ini" "$GUI_WORK/expected.ini"
log="$GUI_WORK/actions.log"
title="글자 팩 만들기"

lines() { grep -c '^action=' "$log" 2>/dev/null || echo 0; }
show() {  # SCENE: the game shows it, kept as SCENE.bmp
    gui_show_scene "$scenes/$1.txt" || gui_abort "the game could not show $1"
    cp "$GUI_WORK/shown.bmp" "$GUI_WORK/$1.bmp"
}
press() {  # KEYS: a hotkey over the game; waits for its log line
    local n=$(($(lines) + 1)) end=$((SECONDS + 20))
    gui_click_screen 200 1150
    sleep 0.3
    gui_key "$1"
    while [ "$(lines)" -lt "$n" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
}
field() { gui_control_field "$1" "${2:-text}"; }
report() { field 2570; }
open_dialog() {  # through the menu "파일" of the main window
    local mx my
    gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
    read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
    gui_click_screen $((mx + 20)) $((my + 31))
    sleep 0.5
    gui_key Down Down Return
    dialog=$(gui_wait_window "$title" 10) || gui_abort "the dialog did not open"
    sleep 0.5
    gui_query_controls "$title" || gui_abort "no controls in the dialog"
}
close_dialog() {
    gui_click_control 2 # 닫기 (IDCANCEL)
    gui_wait_window_gone "$dialog" 10 || gui_abort "the dialog did not close"
}
pick() {  # ID ENTRY: chooses that entry of a drop-down list as a player does, with the keyboard
    local keys=(Home) i
    for ((i = 0; i < $2; i++)); do keys+=(Down); done
    gui_choose "$1" "${keys[@]}"
}
# fix_form KIND "ROW=VALUE"... [aps=A damage=D sockets=N]: sets every field of the last query that
# differs from that description, as a player does; prints how many it set.
fix_form() {
    local kind=$1 line=0 wanted key value id n=0
    shift
    [ "$(field 2501 choice)" = "$kind" ] || { pick 2501 "$kind"; n=$((n + 1)); }
    for wanted in "$@"; do
        key=${wanted%%=*} value=${wanted#*=}
        case $key in
        aps) id=2550 ;;
        damage) id=2551 ;;
        sockets) id=2552 ;;
        *)
            id=$((2530 + line))
            [ "$(field $((2510 + line)) choice)" = $((key + 1)) ] || { pick $((2510 + line)) $((key + 1)); n=$((n + 1)); }
            line=$((line + 1))
            ;;
        esac
        [ "$(field $id)" = "$value" ] || { gui_type_into $id "$value"; n=$((n + 1)); }
    done
    echo "$n"
}
# describe ...: the fields to type by hand go to $by_hand; then the form is checked again (a key
# the display repeats can slip) until it holds the description.
describe() {
    by_hand=$(fix_form "$@")
    local try
    for try in 1 2 3; do
        gui_query_controls "$title"
        [ "$(fix_form "$@")" = 0 ] && return 0
    done
    _gui_say "the form does not take the description"
}
teach() {  # NAME: presses "배우기" and checks the report against the fields typed
    local end=$((SECONDS + 30))
    gui_click_control 2560
    sleep 0.5
    until gui_query_controls "$title" && grep -qE 'id=2570 .*(손으로 채운 칸|배우지 못했|고칠 것)' "$GUI_CONTROLS"; do
        [ $SECONDS -lt $end ] || break
        sleep 0.5
    done
    assert_file_contains "$GUI_CONTROLS" "id=2570 .*손으로 채운 칸: $by_hand / " "$1: the report counts the $by_hand fields typed by hand"
    echo "fields typed by hand on $1: $by_hand" | tee -a "$GUI_ARTIFACTS/figures.txt"
}

cp "$scenes/tight_teach_ring.txt" "$GUI_WORK/scene.txt"
gui_start_game --scene "$GUI_WORK/scene.txt" --pack "$GUI_ROOT/tests/data/tight_screen" \
    --save-picture "$GUI_WORK/shown.bmp" || gui_abort "no game"
gui_launch tw "$app" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window"
sleep 1

# --- The built-in pictures cannot read this screen: the pictures alert.
press ctrl+1
assert_log_line "$log" '^action=1 outcome=unidentified .* pack=built-in ' "Ctrl+1 cannot read the new screen"
alert=$(gui_wait_window "Tallywick Alert Popup" 5) && gui_window_shot "$alert" pictures-alert >/dev/null
assert_ok "the pictures alert tells to make a glyph pack" test -n "$alert"

# --- The dialog on that capture: six lines found, nothing pre-filled that the screen cannot give.
open_dialog
gui_window_shot "$dialog" dialog-first-before >/dev/null
assert_eq "1 0" "$(field 2515 enabled) $(field 2516 enabled)" "rows beyond the six lines found are disabled"
assert_eq "— -1 0" "$(field 2510) $(field 2501 choice) $(field 2550 enabled)" "no option, no kind, no weapon line for a ring"
assert_ok "the tooltip is drawn" test "$(gui_count_colour "$(gui_screenshot dialog-picture)" \
    "$(field 2571 x)" "$(field 2571 y)" "$(field 2571 w)" "$(field 2571 h)" 000000)" -gt 20000
describe 4 6=1099 7=390 4=10.5 12=99~129 13=9 14=87 sockets=0
assert_eq "지능" "$(field 2511)" "options are listed by caption"

# A pack folder that cannot be written (a file stands where its parent folder belongs) is named.
echo "not a folder" >"$app/glyphs"
gui_click_control 2560
box=$(gui_wait_window "Tallywick 알림" 10) && gui_window_shot "$box" folder-alert >/dev/null
assert_ok "an unwritable pack folder brings an alert" test -n "$box"
gui_key Return
assert_eq "not a folder" "$(cat "$app/glyphs")" "and nothing changes"
rm "$app/glyphs"
teach "the first tooltip"
gui_window_shot "$dialog" dialog-first-after >/dev/null
assert_file_contains "$GUI_CONTROLS" 'id=2570 .*배운 것: .*파란 글자: .*보류 중인 툴팁.*pending\\0001\.bmp +[0-9]+번 줄: .*팩에 아직 없는 것: .*다시 읽은 결과: 반지' \
    "the report says what was learned, what waits for the digit grid and why, what the pack lacks and how it reads back"
assert_file_lacks "$GUI_CONTROLS" 'id=2570 .*(spacing|certain|guess|line [0-9])' "the report says why in Korean"
assert_ok "the pack folder is beside the program" test -f "$pack/layout.txt"
close_dialog

# --- A weapon, captured with Ctrl+2 (which leaves the profile alone), now read with the new pack.
show tight_teach_weapon
press ctrl+2
assert_log_line "$log" '^action=3 .* pack=1920x1200 ' "the next action reads with the new pack at once"
open_dialog
describe 1 6=46 7=208 31=3579 aps=1.40 damage=1990~2469 sockets=1
assert_eq 1 "$(field 2550 enabled)" "the weapon lines are open for a weapon"
teach "the second tooltip"
assert_file_contains "$GUI_CONTROLS" 'id=2570 .*보류했다가 이번에 배운 툴팁: +pending\\0001\.bmp' "it lets the first tooltip be learned whole"
close_dialog

# --- An amulet opened as a PNG screenshot: learned for the primary display's size.
show tight_teach_amulet
convert "$GUI_WORK/tight_teach_amulet.bmp" "$GUI_WORK/amulet.png"
open_dialog
gui_click_control 2561
picker=$(gui_wait_window "열기" 10) || gui_abort "no file dialog"
sleep 0.5
gui_type "$(gui_winpath "$GUI_WORK/amulet.png")"
gui_key Return
gui_wait_window_gone "$picker" 10
sleep 1
gui_query_controls "$title"
assert_file_contains "$GUI_CONTROLS" 'id=2570 .*amulet\.png .*주 모니터의 크기 1920x1200' "an opened picture is learned for the display's size"
describe 11 10=246 15=68 37=48 20=14~38 sockets=0
teach "the third tooltip"
gui_window_shot "$dialog" dialog-third-after >/dev/null
assert_file_contains "$GUI_CONTROLS" 'id=2570 .*설명과 똑같이 읽힘' "the third tooltip reads back exactly"
close_dialog
cp -r "$pack" "$GUI_WORK/pack"

# --- Untaught items: Ctrl+1 equips them with the pack; a later tooltip comes pre-filled in full.
show tight_ring
press ctrl+1
assert_log_line "$log" '^action=1 outcome=equipped .* pack=1920x1200 ' "Ctrl+1 equips an untaught ring"
show tight_weapon
sleep 4  # the notice slides away
press ctrl+1
assert_log_line "$log" '^action=1 outcome=equipped .* pack=1920x1200 ' "Ctrl+1 equips an untaught weapon"
open_dialog
gui_window_shot "$dialog" dialog-later-before >/dev/null
describe 1 7=86 31=984 aps=1.57 damage=902~2381 sockets=1
assert_eq 0 "$by_hand" "a later tooltip comes pre-filled in full"
teach "a later tooltip"
close_dialog

gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"

# The profile holds exactly what the command-line reader equips from the same pictures and pack.
for picture in tight_ring tight_weapon; do
    gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$GUI_WORK/expected.ini")" "$(gui_winpath "$GUI_WORK/$picture.bmp")" \
        --glyphs "$(gui_winpath "$GUI_WORK/pack")" --write
    assert_eq 0 "$?" "the reader equips $picture with the pack"
done
assert_same_profile "$GUI_WORK/expected.ini" "$app/Tallywick.ini" "the saved profile holds both items exactly as read"
gui_finish
