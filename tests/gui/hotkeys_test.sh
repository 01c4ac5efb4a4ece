#!/usr/bin/env bash
# Hotkey actions end to end: the stand-in game shows composed tooltips, real key presses reach the
# program's global hotkeys, and the results are checked from the outside: the popups (title, place,
# visibility), the program's action log, the keyboard focus of the game, and the settings file after
# a clean close, whose profile must equal what the command-line reader makes of the same pictures.
# Beside the program lies a broken glyph pack for this screen size: the actions read with the
# built-in pack and the first one says so once. Failed reads leave their capture beside the log; an
# all-black screen is named as such.
source "$(dirname "$0")/harness.sh"
gui_begin hotkeys
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
scenes="$GUI_ROOT/tests/gui/scenes"
cli="$TALLYWICK_BUILD_DIR/cli/tallywick-cli.exe"
app="$GUI_WORK/app"
mkdir -p "$app"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
# The defaults, with an image folder so that F9 saves without asking for one.
mkdir -p "$GUI_WORK/images"
images=$(gui_winpath "$GUI_WORK/images")
sed "s|^Image=.*|Image=${images//\\/\\\\}\r|" "$GUI_ROOT/tests/gui/expected/first_run.ini" >"$app/Tallywick.ini"
cp "$app/Tallywick.ini" "$GUI_WORK/expected.ini"
log="$GUI_WORK/actions.log"
# The pack folder for this screen, with a picture that is not one.
mkdir -p "$app/glyphs/1920x1200"
printf 'not a picture' >"$app/glyphs/1920x1200/120.bmp"

show() {  # SCENE: the game shows it; its picture is kept as SCENE.bmp
    gui_show_scene "$scenes/$1.txt" || gui_abort "the game could not show $1"
    cp "$GUI_WORK/shown.bmp" "$GUI_WORK/$1.bmp"
}
lines() { grep -c '^action=' "$log" 2>/dev/null || echo 0; }
wait_lines() {  # N: waits for the log to hold N lines
    local end=$((SECONDS + 20))
    while [ "$(lines)" -lt "$1" ] && [ $SECONDS -lt $end ]; do sleep 0.2; done
    [ "$(lines)" -ge "$1" ]
}
press() {  # KEYS N: presses a hotkey over the game and waits for the Nth log line
    gui_key "$1"
    wait_lines "$2" || _gui_say "no log line $2 after $1"
}
# The program's reading of the press on log line N against the command-line reader's reading of
# the picture shown: the same tooltip rectangle (or none), and an item read exactly when the
# program read one (F9 reads nothing: its rectangle alone). The program copies only what it reads
# of the screen; the reader gets the whole picture.
cli_agrees() {  # PICTURE N WHAT
    local line json rect kind ours theirs
    line=$(grep '^action=' "$log" | sed -n "$2p")
    gui_run "$GUI_WORK" "$cli" read "$(gui_winpath "$1")"
    json=$(tr -d '\r\n' <"$GUI_ARTIFACTS/run-$GUI_RUNS.out")
    rect=$(sed -nE 's/.*"tooltip":\{"x":([0-9]+),"y":([0-9]+),"width":([0-9]+),"height":([0-9]+)\}.*/\1,\2,\3,\4/p' <<<"$json")
    kind=$(sed -nE 's/.*"kind":(-?[0-9]+).*/\1/p' <<<"$json")
    ours="rect=$(sed -nE 's/.* rect=([^ ]*) .*/\1/p' <<<"$line")"
    theirs="rect=${rect:-none}"
    case $(sed -nE 's/^action=[0-9] outcome=([a-z-]+) .*/\1/p' <<<"$line") in
        equipped | compared) ours="$ours read" ;;
        unidentified) ours="$ours unread" ;;
    esac
    if [ -n "$rect" ] && [[ $line != action=5* ]]; then
        if [ "${kind:--1}" -ge 0 ]; then theirs="$theirs read"; else theirs="$theirs unread"; fi
    fi
    assert_eq "$theirs" "$ours" "$3: the program finds and reads what the command-line reader does"
}

# The game has the keyboard when its last focus message was "set-focus" (X itself only knows that
# the focus follows the pointer on Xvfb).
game_has_focus() { [ "$(grep -E ' (set-focus|kill-focus)' "$GUI_GAME_LOG" | tail -n1 | awk '{ print $2 }')" = set-focus ]; }

cp "$scenes/ring_a.txt" "$GUI_WORK/scene.txt"
gui_start_game --scene "$GUI_WORK/scene.txt" --save-picture "$GUI_WORK/shown.bmp" || gui_abort "no game"
cp "$GUI_WORK/shown.bmp" "$GUI_WORK/ring_a.bmp"
gui_launch tw "$app" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window"
sleep 1

# --- While the compare-item dialog is open, Ctrl+1 starts no action.
gui_query_controls Tallywick
gui_click_tab 1
gui_query_controls Tallywick
gui_click_control 2038
dialog=$(gui_wait_window "비교할 장비") || gui_abort "the compare-item dialog did not open"
gui_key ctrl+1
sleep 2
assert_eq 0 "$(lines)" "no action while the compare-item dialog is open"
gui_key Escape
assert_ok "the dialog closes" gui_wait_window_gone "$dialog" 5

gui_click_screen 200 1150  # the player goes back to the game (below the main window)
sleep 0.5
assert_ok "the game has the keyboard" game_has_focus

# --- Ctrl+1 over a ring: equipped into slot 10, confirmed by the sliding notice. The broken pack
# is reported at this first use: an alert, and the details in the log.
press ctrl+1 1
assert_log_line "$log" '^action=1 outcome=equipped ' "Ctrl+1 equips the ring"
assert_ok "it read with the built-in pack" grep -qE '^action=1 .* pack=built-in ' "$log"
pack_alert=$(gui_wait_window "Tallywick Alert Popup" 3)
assert_ok "the broken pack is reported by an alert" test -n "$pack_alert"
gui_screenshot pack-alert >/dev/null
assert_file_contains "$log" '^pack-problem folder=.*glyphs.1920x1200 .*120\.bmp' "the log names the pack folder and its broken picture"
notice=$(gui_wait_window "Tallywick Notice Popup" 5)
assert_ok "the notice appears" test -n "$notice"
sleep 1
read -r nx ny nw nh <<<"$(gui_window_geometry "$notice")"
assert_ok "the notice stands at the bottom of the screen (y=$ny)" test "$ny" -gt 1000
gui_screenshot notice >/dev/null
assert_ok "the notice leaves the game the keyboard" game_has_focus
cli_agrees "$GUI_WORK/ring_a.bmp" 1 "ring A"

# --- Ctrl+Shift+1 over another ring: the second ring slot.
show ring_b
press ctrl+shift+1 2
assert_log_line "$log" '^action=2 outcome=equipped ' "Ctrl+Shift+1 equips the second ring"
sleep 0.3
assert_eq "" "$(gui_find_window "Tallywick Alert Popup")" "the pack alert is not shown again"
cli_agrees "$GUI_WORK/ring_b.bmp" 2 "ring B"

# --- Ctrl+2 over a helm: the modified-stats popup at the top left; the profile stays as it is.
show helm
press ctrl+2 3
assert_log_line "$log" '^action=3 outcome=compared ' "Ctrl+2 compares the helm"
assert_ok "it copied a small part of the screen" \
    test "$(grep '^action=3 ' "$log" | sed -nE 's/.* copied_px=([0-9]+).*/\1/p')" -lt $((1920 * 1200 / 4))
popup=$(gui_wait_window "Tallywick Popup" 5)
assert_ok "the modified-stats popup appears" test -n "$popup"
sleep 1
read -r px py pw ph <<<"$(gui_window_geometry "$popup")"
assert_ok "it fades in at the top left ($px,$py)" test "$px" -lt 50 -a "$py" -lt 50
shot=$(gui_screenshot modified-stats)
reddish=$(convert "$shot" -crop "${pw}x${ph}+${px}+${py}" +repage -fx '(r>0.75&&g<0.35&&b<0.35)?1:0' -format '%[fx:round(mean*w*h)]' info:)
assert_ok "its rises are drawn in red ($reddish red pixels)" test "$reddish" -gt 10
sleep 0.5
assert_ok "the popup hands the keyboard back to the game" game_has_focus
# Switching to the main window (the player's alt-tab; Xvfb has no window manager) hides it.
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
assert_ok "activating the main window hides the popup" gui_wait_window_gone "$popup" 5
gui_click_screen 200 1150
sleep 0.5

# --- No tooltip: the alert, centred, and nothing else; a click on it hides it. The capture is kept
# beside the log, copied whole once the alert is up: the screen as it was, the game's picture
# beside the program's window, but for the rows of the alert (under Wine a copy of the screen
# holds layered windows), and it reads as the screen did.
show no_tooltip
sleep 0.3
before=$(gui_screenshot no-tooltip-before)
press ctrl+1 4
assert_log_line "$log" '^action=1 outcome=no-tooltip .* kept=actions-failed-0001\.bmp$' "a press without a tooltip only alerts and keeps its capture"
alert=$(gui_wait_window "Tallywick Alert Popup" 5)
assert_ok "the alert appears" test -n "$alert"
sleep 0.6
read -r ax ay aw ah <<<"$(gui_window_geometry "$alert")"
assert_ok "the alert is centred ($ax,$ay ${aw}x$ah)" test $((ax + aw / 2 - 960)) -ge -3 -a $((ax + aw / 2 - 960)) -le 3
gui_screenshot alert >/dev/null
gui_click_screen $((ax + aw / 2)) $((ay + ah / 2))
assert_ok "a click hides the alert" gui_wait_window_gone "$alert" 5
gui_click_screen 200 1150
kept="$GUI_WORK/actions-failed-0001.bmp"
# The screen as shown, in rows above and below the alert's.
same_as() {  # PICTURE X W: differing pixels of columns X..X+W-1 outside the alert's rows
    echo $(($(gui_region_diff "$1" "$2" 0 "$kept" "$2" 0 "$3" "$ay") +
        $(gui_region_diff "$1" "$2" $((ay + ah)) "$kept" "$2" $((ay + ah)) "$3" $((1200 - ay - ah)))))
}
assert_eq 0 "$(same_as "$before" 0 1920)" "the kept capture is the screen as it was shown"
read -r mx my mw mh <<<"$(gui_window_geometry "$main")"
beside=$((mx + mw))
assert_eq 0 "$(same_as "$GUI_WORK/no_tooltip.bmp" "$beside" $((1920 - beside)))" \
    "beside the program's window it is the game's picture (x >= $beside)"
cli_agrees "$GUI_WORK/no_tooltip.bmp" 4 "no tooltip"
cli_agrees "$kept" 4 "the kept capture of no tooltip"

# --- F9 never parses: it works on a tooltip whose kind cannot be identified.
show unknown
press F9 5
assert_log_line "$log" '^action=5 outcome=save-image .* parse_ms=0.000 ' "F9 hands the tooltip to the image saver unread"
assert_ok "and the unidentifiable tooltip is saved" test -f "$GUI_WORK/images/D3Item_0001.bmp"
cli_agrees "$GUI_WORK/unknown.bmp" 5 "F9"
# Ctrl+2 reads it: the kind is not identified, and the capture is kept under the next number.
gui_wait_window_gone "Tallywick Notice Popup" 10
press ctrl+2 6
assert_log_line "$log" '^action=3 outcome=unidentified .* kept=actions-failed-0002\.bmp$' "an unidentified kind keeps its capture too"
kept="$GUI_WORK/actions-failed-0002.bmp"
assert_eq 0 "$(same_as "$GUI_WORK/unknown.bmp" "$beside" $((1920 - beside)))" "holding the game's picture"
cli_agrees "$GUI_WORK/unknown.bmp" 6 "an unidentified kind"
cli_agrees "$kept" 6 "the kept capture of an unidentified kind"

# --- Ten quick presses, equip and compare mixed: all complete, one after the other.
show ring_a
sleep 0.3
for i in 1 2 3 4 5; do xdotool key ctrl+1 ctrl+2; done
assert_ok "ten quick presses all complete" wait_lines 16
assert_eq 16 "$(lines)" "and no more"
assert_eq 5 "$(tail -n 10 "$log" | grep -c 'outcome=equipped')" "five equips among them"
assert_eq 5 "$(tail -n 10 "$log" | grep -c 'outcome=compared')" "five compares among them"
gui_query_controls Tallywick
assert_ok "the program still answers" test -n "$(gui_control_field 3005 text)"
assert_eq 1 "$(gui_line_count "$log" '^pack-problem ')" "the broken pack was reported once in all these actions"
assert_eq 2 "$(ls "$GUI_WORK"/actions-failed-*.bmp | wc -l)" "only the failed reads kept their captures"
ring_rect=$(grep '^action=' "$log" | sed -n 1p | sed -nE 's/.* rect=([^ ]*) .*/\1/p')
assert_eq 10 "$(tail -n 10 "$log" | grep -c " rect=$ring_rect ")" "each found ring A's tooltip ($ring_rect)"

# --- A hostile screen: ring A beside a black area whose bottom row runs on past its broken right
# edge (the walk jumps on from it) and a black band down to the bottom edge (tested nowhere, walked
# everywhere). The program copies more of the screen, and still reads what the command-line
# reader reads.
convert "$GUI_WORK/ring_a.bmp" -fill black -draw "rectangle 950,650 1299,949" -draw "rectangle 1299,949 1399,949" \
    -draw "rectangle 1320,0 1379,1199" -type TrueColor BMP3:"$GUI_WORK/hostile.bmp"
gui_show_scene "$GUI_WORK/hostile.bmp" || gui_abort "the game could not show the hostile screen"
press ctrl+2 17
assert_log_line "$log" "^action=3 outcome=compared .* rect=$ring_rect " "Ctrl+2 compares ring A on the hostile screen"
cli_agrees "$GUI_WORK/hostile.bmp" 17 "a hostile screen"

# --- An entirely black screen (a game in exclusive full-screen mode covers every window): its own
# alert, not "no tooltip", and no capture kept.
convert -size 1920x1200 xc:black -type TrueColor BMP3:"$GUI_WORK/black.bmp"
gui_show_scene "$GUI_WORK/black.bmp" || gui_abort "the game could not show the black screen"
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --cover on
sleep 0.5
shot=$(gui_screenshot black-screen)
assert_eq $((1920 * 1200)) "$(gui_count_colour "$shot" 0 0 1920 1200 000000)" "the game covers the screen in black"
press ctrl+1 18
assert_log_line "$log" '^action=1 outcome=black-capture .* pack=none ' "a black screen is named as such"
alert=$(gui_wait_window "Tallywick Alert Popup" 5)
assert_ok "with an alert" test -n "$alert"
gui_screenshot black-alert >/dev/null
assert_eq 2 "$(ls "$GUI_WORK"/actions-failed-*.bmp | wc -l)" "and no capture kept"
# The program's window goes back above the game when it is closed below (gui_close_window raises it).
gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --cover off

gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --activate Tallywick
sleep 1
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the program ends cleanly"

# The profile holds exactly what the command-line reader equips from the same pictures: ring A in
# slot 10, ring B in slot 11, and nothing from the compares.
gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$GUI_WORK/expected.ini")" "$(gui_winpath "$GUI_WORK/ring_a.bmp")" --write
gui_run "$GUI_WORK" "$cli" equip "$(gui_winpath "$GUI_WORK/expected.ini")" "$(gui_winpath "$GUI_WORK/ring_b.bmp")" --secondary --write
assert_same_profile "$GUI_WORK/expected.ini" "$app/Tallywick.ini" "the saved profile holds both rings exactly as read"

# Latency per stage, from the log (milliseconds): printed for the record.
awk '{ for (i = 1; i <= NF; i++) if ($i ~ /_ms=/) { split($i, kv, "="); s[kv[1]] += kv[2]; n[kv[1]]++ } }
     END { for (k in s) printf "mean %s %.3f\n", k, s[k] / n[k] }' "$log" | sort
gui_finish
