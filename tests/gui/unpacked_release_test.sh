#!/usr/bin/env bash
# The release as a player meets it: the zip of the build unpacked into a fresh Wine prefix, into a
# folder whose path has Korean letters and spaces, and run from there. The first start writes the
# default settings beside the program, the about box names the version, Ctrl+2 over the stand-in
# game's sample screen gives the compare popup, and the command-line tool reads the sample there.
source "$(dirname "$0")/harness.sh"
gui_begin unpacked_release
version=$(head -n1 "$GUI_ROOT/VERSION")
zip="$TALLYWICK_BUILD_DIR/dist/Tallywick-$version-win64.zip"
[ -f "$zip" ] || gui_abort "no release zip $zip (build the target release_zip)"

# A prefix of its own, made afresh, so that nothing of another run is in it.
export WINEPREFIX="$TALLYWICK_BUILD_DIR/gui-release-wineprefix"
if [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1 </dev/null
    rm -rf "$WINEPREFIX"
fi
gui_start_display 2560x1440 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"

folder="게임 도구\\Tallywick $version"
unpacked="$WINEPREFIX/drive_c/${folder//\\//}"
mkdir -p "$unpacked"
assert_ok "the zip unpacks into C:\\$folder" unzip -q "$zip" -d "$unpacked"
app="$unpacked/Tallywick"
win_app="C:\\$folder\\Tallywick"
assert_eq "Tallywick.exe glyphs tallywick-cli.exe 사용법.txt" "$(cd "$app" && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')" \
    "it holds the programs, the guide and the glyphs folder, and no settings file"
assert_eq "읽어보기.txt" "$(ls "$app/glyphs")" "the glyphs folder holds its note only"

gui_start_game --picture "$GUI_ROOT/samples/sample_screen.png" || gui_abort "no game"
# Started by its Windows path from its own folder, as Explorer starts it.
(cd "$app" && exec wine "$win_app\\Tallywick.exe") >"$GUI_ARTIFACTS/tw.out" 2>&1 </dev/null &
GUI_PIDS[tw]=$!
main=$(gui_wait_window "Tallywick") || gui_abort "the main window did not appear"
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1

# --- The about box, from the menu bar's "정보".
read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
gui_click_screen $((mx + ${ABOUT_X:-140})) $((my + 31))
about=$(gui_wait_window "정보" 10) || gui_abort "the about box did not open"
sleep 0.5
gui_query_controls "정보" || gui_abort "no controls in the about box"
gui_window_shot "$about" about-box >/dev/null
assert_eq "Tallywick v$version" "$(gui_control_field 1110 text)" "the about box shows the version"
gui_key Escape
assert_ok "Escape closes the about box" gui_wait_window_gone "$about" 10

# --- Ctrl+2 over the sample screen: the compare popup, its rises in red (an empty first profile).
gui_click_screen 2400 1400  # the player goes back to the game
sleep 0.5
gui_key ctrl+2
popup=$(gui_wait_window "Tallywick Popup" 10)
assert_ok "Ctrl+2 on the sample gives the compare popup" test -n "$popup"
[ -n "$popup" ] && sleep 1
if [ -n "$popup" ]; then
    read -r px py pw ph <<<"$(gui_window_geometry "$popup")"
    shot=$(gui_screenshot compare-popup)
    gui_crop "$shot" "$px" "$py" "$pw" "$ph" compare-popup-window >/dev/null
    red=$(convert "$shot" -crop "${pw}x${ph}+${px}+${py}" +repage -fx '(r>0.75&&g<0.35&&b<0.35)?1:0' \
        -format '%[fx:round(mean*w*h)]' info:)
    assert_ok "it shows rises in red ($red red pixels)" test "$red" -gt 10
fi

# --- Closed: the first-start defaults are written beside the program.
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"
assert_ok "Tallywick.ini beside the program holds the first-start defaults" \
    cmp "$app/Tallywick.ini" "$GUI_ROOT/tests/gui/expected/first_run.ini"

# --- The command-line tool, from the same folder, on the sample under a Korean name.
cp "$GUI_ROOT/samples/sample_screen.png" "$app/샘플 화면.png"
gui_run "$app" "$win_app\\tallywick-cli.exe" read "샘플 화면.png" --text
assert_eq 0 "$?" "tallywick-cli.exe read exits 0"
out="$GUI_ARTIFACTS/run-$GUI_RUNS.out"
assert_file_contains "$out" '^종류: 양손 무기' "it names the sample's kind"
assert_file_contains "$out" '^  민첩 +412' "and its stats"
gui_finish
