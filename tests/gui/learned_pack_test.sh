#!/usr/bin/env bash
# A glyph pack learned from the player's own saved tooltips, used by the program. The stand-in game
# shows tooltips of a screen drawn in another font, text size and layout, which the built-in pictures
# cannot read; the Windows command-line tool learns a pack from three of them as a player would
# describe them; beside the program as glyphs/1920x1200 it reads two others, and the saved profile
# holds exactly what the command-line reader equips from the same pictures with the pack.
source "$(dirname "$0")/harness.sh"
gui_begin learned_pack
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
scenes="$GUI_ROOT/tests/gui/scenes"
cli="$TALLYWICK_BUILD_DIR/cli/tallywick-cli.exe"
app="$GUI_WORK/app"
pack="$GUI_WORK/pack"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
cp "$GUI_ROOT/tests/gui/expected/first_run.ini" "$app/Tallywick.ini"
cp "$app/Tallywick.ini" "$GUI_WORK/expected.ini"
log="$GUI_WORK/actions.log"

show() {  # SCENE: the game shows it; its picture is kept as SCENE.bmp
    gui_show_scene "$scenes/$1.txt" || gui_abort "the game could not show $1"
    cp "$GUI_WORK/shown.bmp" "$GUI_WORK/$1.bmp"
}
learn() {  # SCENE ARGS...: the player describes the saved tooltip
    local scene=$1
    shift
    gui_run "$GUI_WORK" "$cli" glyphs learn "$(gui_winpath "$pack")" "$(gui_winpath "$GUI_WORK/$scene.bmp")" "$@"
}
lines() { grep -c '^action=' "$log" 2>/dev/null || echo 0; }
press() {  # KEYS N: presses a hotkey over the game and waits for the Nth log line
    gui_key "$1"
    local end=$((SECONDS + 20))
    while [ "$(lines)" -lt "$2" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
}

cp "$scenes/second_teach_ring.txt" "$GUI_WORK/scene.txt"
gui_start_game --scene "$GUI_WORK/scene.txt" --pack "$GUI_ROOT/tests/data/second_screen" \
    --save-picture "$GUI_WORK/shown.bmp" || gui_abort "no game"
cp "$GUI_WORK/shown.bmp" "$GUI_WORK/second_teach_ring.bmp"
gui_screenshot second-screen >/dev/null
show second_teach_weapon
show second_teach_amulet
show second_weapon
show second_ring

# --- The built-in pictures cannot read this screen, and say so.
gui_run "$GUI_WORK" "$cli" read "$(gui_winpath "$GUI_WORK/second_ring.bmp")"
assert_eq 1 "$?" "the built-in pictures do not read the second screen"
assert_file_contains "$GUI_ARTIFACTS/run-$GUI_RUNS.out" '글자 팩을 만드세요' "the reader suggests learning a pack"

# --- Three saved tooltips, described, teach the pack.
learn second_teach_ring --kind 반지 --line 민첩=1120 --line 지능=345 --line "극대화 확률=7.5" --line 피해=71~75 \
    --line "생명력 %=6" --line "마법 아이템 발견=89"
assert_eq 0 "$?" "the ring teaches the pack"
learn second_teach_weapon --kind "한손 무기" --weapon 1.10,1187~1469 --empty-sockets 1 --line 민첩=35 --line 지능=120 \
    --line "보석 - 적중 시 생명력 회복=2350"
assert_eq 0 "$?" "the weapon teaches the pack"
learn second_teach_amulet --kind 11 --line 10=240 --line 15=57 --line 37=31 --line 20=12~30
assert_eq 0 "$?" "the amulet teaches the pack"
assert_file_contains "$GUI_ARTIFACTS/run-$GUI_RUNS.out" 'reads back exactly' "the last one reads back exactly"
gui_run "$GUI_WORK" "$cli" glyphs check "$(gui_winpath "$pack")"
assert_eq 0 "$?" "the learned pack passes its check"
mkdir -p "$app/glyphs"
cp -r "$pack" "$app/glyphs/1920x1200"

# --- The program reads the untaught ring and weapon with the pack for its screen size.
gui_launch tw "$app" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window"
sleep 1
gui_click_screen 200 1150  # the player goes back to the game (below the main window)
sleep 0.5
press ctrl+1 1
assert_log_line "$log" '^action=1 outcome=equipped .* pack=1920x1200 ' "Ctrl+1 equips the ring with the learned pack"
notice=$(gui_wait_window "Tallywick Notice Popup" 5)
assert_ok "the equip notice appears" test -n "$notice"
gui_screenshot ring-equipped >/dev/null
show second_weapon
sleep 4  # the notice slides away
press ctrl+1 2
assert_log_line "$log" '^action=1 outcome=equipped .* pack=1920x1200 ' "Ctrl+1 equips the weapon with the learned pack"
assert_eq 0 "$(grep -c '^pack-problem ' "$log")" "the learned pack has no problems to report"
assert_eq 0 "$(ls "$GUI_WORK"/actions-failed-*.bmp 2>/dev/null | wc -l)" "no read failed"

gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"

# The profile holds exactly what the command-line reader equips from the same pictures with the pack.
for picture in second_ring second_weapon; do
    gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$GUI_WORK/expected.ini")" "$(gui_winpath "$GUI_WORK/$picture.bmp")" \
        --glyphs "$(gui_winpath "$pack")" --write
    assert_eq 0 "$?" "the reader equips $picture with the pack"
done
assert_same_profile "$GUI_WORK/expected.ini" "$app/Tallywick.ini" "the saved profile holds the ring and the weapon exactly as read"
gui_finish
