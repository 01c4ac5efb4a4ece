#!/usr/bin/env bash
# Saving tooltip pictures with F9, end to end, checked from the outside: the files in the image
# folder (their pixels against the game's shown picture, the JPEG through ImageMagick), the saved
# notice, the overlay's place on the screen and a click on it reaching the game, the alert and the
# folder browser when no folder is set or the folder cannot be written, no "temp.bmp" anywhere (a
# user's own one untouched), and the chosen folder in the settings file after a clean close.
# Two program runs: one with an image folder set, one starting without any.
source "$(dirname "$0")/harness.sh"
gui_begin image_save
gui_start_display 1920x1200 || gui_abort "no display"
gui_prepare_prefix || gui_abort "no Wine prefix"
scenes="$GUI_ROOT/tests/gui/scenes"
app="$GUI_WORK/app"    # the program's folder, with its settings file
cwd="$GUI_WORK/cwd"    # its working folder, holding a file of the user's named temp.bmp
pics="$GUI_WORK/pics"  # the image folder of the first run
mkdir -p "$app" "$cwd" "$pics"
cp "$TALLYWICK_EXE" "$app/Tallywick.exe"
ini="$app/Tallywick.ini"
log="$GUI_WORK/actions.log"
# The folder chosen in the browser in the second run, on the prefix's drive C: (one level below it).
chosen_dir="$WINEPREFIX/drive_c/tallywick-image-save-test/chosen"
chosen_win='C:\tallywick-image-save-test\chosen'
rm -rf "$WINEPREFIX/drive_c/tallywick-image-save-test"
mkdir -p "$chosen_dir"

# The user's own temp.bmp in the working folder (any bytes; it must stay as it is).
head -c 3000 /dev/urandom >"$cwd/temp.bmp"
cp "$cwd/temp.bmp" "$GUI_WORK/user-temp.copy"

# A read-only image folder: a tmpfs mounted read-only when this machine allows it (as root, file
# modes do not stop writes), otherwise the host's /proc, which Wine cannot write either.
ro="$GUI_WORK/readonly"
mkdir -p "$ro"
ro_mounted=0
if mount -t tmpfs -o ro,size=64k tallywick-ro "$ro" 2>/dev/null; then
    ro_mounted=1
    ro_win=$(gui_winpath "$ro")
    _gui_say "read-only image folder: a read-only tmpfs at $ro"
else
    ro_win='Z:\proc'
    _gui_say "read-only image folder: Z:\\proc (mounting a read-only tmpfs was refused)"
fi
ro_unmount() { [ "$ro_mounted" -eq 1 ] && umount "$ro" 2>/dev/null && ro_mounted=0; }
trap '_rc=$?; ro_unmount; (exit $_rc); _gui_cleanup' EXIT

# The starting settings file: the first-run file with the image folder given (CRLF kept).
write_ini() {  # IMAGE-FOLDER (Windows form, or empty)
    local folder=${1//\\/\\\\}
    sed "s/^Image=.*\r\$/Image=${folder}\r/" "$GUI_ROOT/tests/gui/expected/first_run.ini" >"$ini"
}
ini_line() { tr -d '\r' <"$ini" | grep -m1 -E "^$1="; }

tooltip_rect() {  # SCENE: prints "X Y W H" of the scene's tooltip
    awk '$1 == "tooltip" { print $2, $3, $4, $5; exit }' "$scenes/$1.txt"
}
show() {  # SCENE: the game shows it; its picture is kept as SCENE.bmp and its tooltip as SCENE-tooltip.png
    gui_show_scene "$scenes/$1.txt" || gui_abort "the game could not show $1"
    cp "$GUI_WORK/shown.bmp" "$GUI_WORK/$1.bmp"
    local x y w h
    read -r x y w h <<<"$(tooltip_rect "$1")"
    convert "$GUI_WORK/$1.bmp" -crop "${w}x$h+$x+$y" +repage -alpha off "$GUI_WORK/$1-tooltip.png"
}
lines() { grep -c '^action=' "$log" 2>/dev/null || echo 0; }
wait_lines() {  # N: waits for the action log to hold N lines
    local end=$((SECONDS + 30))
    while [ "$(lines)" -lt "$1" ] && [ $SECONDS -lt $end ]; do sleep 0.1; done
    [ "$(lines)" -ge "$1" ]
}
visible() {  # TITLE-REGEX: the first visible window whose title matches, at once
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 | grep .
}
poll_window() {  # TITLE-REGEX SECONDS: waits (tightly, for short-lived windows) for a visible window
    local end=$((SECONDS + $2)) w
    while :; do
        w=$(visible "$1") && { echo "$w"; return 0; }
        [ $SECONDS -ge $end ] && return 1
        sleep 0.03
    done
}
ever_shown() {  # TITLE-REGEX SECONDS: status 0 if such a window shows at any time within SECONDS
    poll_window "$1" "$2" >/dev/null
}
never_shown() { ! ever_shown "$@"; }
browser_re='^(폴더 탐색|폴더 찾아보기|Browse for Folder)$'
notice_re='^Tallywick Notice Popup$'
alert_re='^Tallywick Alert Popup$'
overlay_re='^Transparent Window$'
game_has_focus() { [ "$(grep -E ' (set-focus|kill-focus)' "$GUI_GAME_LOG" | tail -n1 | awk '{ print $2 }')" = set-focus ]; }
to_game() { gui_click_screen 200 1150; sleep 0.5; }  # below the main window, away from the tooltips
all_d3items() {
    find "$GUI_ARTIFACTS" "$WINEPREFIX/drive_c" -name 'D3Item_*' 2>/dev/null | sort
}
d3items() {  # the saved pictures under the test's folders and the prefix's drive C: that are new
    comm -13 <(printf '%s\n' "$d3items_before") <(all_d3items) | grep .
}
pixel_diff() {  # A B: how many pixels differ (both read without alpha)
    convert "$1" -alpha off "$GUI_WORK/diff-a.png" && convert "$2" -alpha off "$GUI_WORK/diff-b.png" &&
        compare -metric AE "$GUI_WORK/diff-a.png" "$GUI_WORK/diff-b.png" null: 2>&1 | awk '{ print int($1) }'
}
rmse() {  # A B: the normalised root-mean-square difference, 0..1
    compare -metric RMSE "$1" "$2" null: 2>&1 | sed -nE 's/.*\(([0-9.e-]+)\).*/\1/p'
}
to_main() {  # gives the main window the activation as a player does: a click on its caption
    local mx my mw
    read -r mx my mw _ <<<"$(gui_window_geometry "$main")"
    gui_click_screen $((mx + mw / 2)) $((my + 10))
    local end=$((SECONDS + 5))
    while game_has_focus && [ $SECONDS -lt $end ]; do sleep 0.1; done
    sleep 0.3
}
menu_settings() {  # opens the settings dialog through the main window's menu
    local mx my
    to_main
    read -r mx my _ _ <<<"$(gui_window_geometry "$main")"
    gui_click_screen $((mx + 55)) $((my + 31))
    dialog=$(gui_wait_window "설정" 10) || gui_abort "the settings dialog did not open"
    sleep 0.5
    gui_query_controls "설정" || gui_abort "no controls in the settings dialog"
}
close_settings() {
    gui_key Escape
    gui_wait_window_gone "$dialog" 10 || gui_abort "the settings dialog did not close"
    sleep 0.3
    to_game
}
set_image_folder() {  # WINDOWS-PATH: typed into the settings dialog's image folder field
    menu_settings
    gui_type_into 1007 "$1"
    gui_query_controls "설정"
    assert_eq "$1" "$(gui_control_field 1007 text)" "the image folder field holds $1"
    close_settings
}

# ============ Run 1: an image folder set in the settings file ============
d3items_before=$(all_d3items)  # pictures other scenarios left in a shared prefix
write_ini "$(gui_winpath "$pics")"
read -r tx ty tw th <<<"$(tooltip_rect save_item)"
cp "$scenes/save_item.txt" "$GUI_WORK/scene.txt"
gui_start_game --scene "$GUI_WORK/scene.txt" --save-picture "$GUI_WORK/shown.bmp" || gui_abort "no game"
show save_item
gui_launch tw "$cwd" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window"
to_game
assert_ok "the game has the keyboard" game_has_focus

# --- F9 over the tooltip: the overlay replays it in place, and a click on it reaches the game.
gui_key F9
# The saved notice lives about 2.6 s; it is watched for from the press on, while the overlay is checked.
poll_window "$notice_re" 20 >"$GUI_WORK/notice.id" &
notice_watch=$!
overlay=$(poll_window "$overlay_re" 15) || gui_abort "the overlay did not appear after F9"
read -r ox oy ow oh <<<"$(gui_window_geometry "$overlay")"
cx=$((tx + tw / 2)) cy=$((ty + th / 2))
gui_click_screen "$cx" "$cy"
shot=$(gui_screenshot overlay)
read -r ox2 oy2 ow2 oh2 <<<"$(gui_window_geometry "$overlay" 2>/dev/null || echo "$ox $oy $ow $oh")"
_gui_say "overlay at $ox,$oy ${ow}x$oh, after the click $ox2,$oy2 ${ow2}x$oh2 (tooltip $tx,$ty ${tw}x$th)"
# It swells by 2 % a step (at most 13 steps: up to about 1.3 times) around the tooltip's centre.
assert_ok "the overlay is the tooltip's size or a little larger (${ow}x$oh for ${tw}x$th)" \
    test "$ow" -ge "$tw" -a "$oh" -ge "$th" -a $((ow * 100)) -le $((tw * 130)) -a $((oh * 100)) -le $((th * 130))
assert_ok "the overlay keeps the tooltip's proportions" \
    test $((ow * th - oh * tw)) -le $((tw * 4)) -a $((oh * tw - ow * th)) -le $((tw * 4))
ocx=$((ox + ow / 2)) ocy=$((oy + oh / 2))
assert_ok "the overlay is centred on the tooltip (centre $ocx,$ocy for $cx,$cy)" \
    test $((ocx - cx)) -le 12 -a $((cx - ocx)) -le 12 -a $((ocy - cy)) -le 12 -a $((cy - ocy)) -le 12
gui_crop "$shot" "$ox" "$oy" "$ow" "$oh" overlay-window >/dev/null
# What is on screen inside the tooltip's rectangle is the tooltip again (stretched by a few
# percent, so compared loosely), and the band the overlay covers outside it is the tooltip's black
# edge, not the game's desktop.
convert "$shot" -crop "${tw}x$th+$tx+$ty" +repage -alpha off "$GUI_WORK/overlay-inside.png"
inside=$(rmse "$GUI_WORK/overlay-inside.png" "$GUI_WORK/save_item-tooltip.png")
assert_ok "inside the tooltip's rectangle the screen shows the tooltip (RMSE $inside)" \
    awk -v e="$inside" 'BEGIN { exit !(e != "" && e < 0.15) }'
# (The overlay was at least as large when the screenshot was taken as before the click; it is
# already fading then, so only part of the band is still pure black.)
if [ $((tx - ox)) -ge 2 ]; then
    band=$((tx - ox))
    dark_shot=$(gui_count_colour "$shot" "$ox" $((ty + 20)) "$band" 100 000000)
    dark_game=$(gui_count_colour "$GUI_WORK/save_item.bmp" "$ox" $((ty + 20)) "$band" 100 000000)
    assert_ok "left of the tooltip the overlay draws its black edge ($dark_shot black pixels on screen, $dark_game in the game)" \
        test "$dark_shot" -ge $((band * 100 / 2)) -a "$dark_game" -lt $((band * 100 / 4))
fi
# The click at the tooltip's centre went to the overlay, which forwards it unchanged: the game
# gets the overlay's own client coordinates, not the screen point (which it would get directly).
assert_log_line "$GUI_GAME_LOG" ' button-down left ' "the click on the overlay reaches the game"
read -r gx gy <<<"$(sed -nE 's/.* button-down left x=(-?[0-9]+) y=(-?[0-9]+).*/\1 \2/p' "$GUI_GAME_LOG" | tail -n1)"
assert_ok "the game gets the point in the overlay's coordinates ($gx,$gy; screen $cx,$cy; overlay $ox..$ox2,$oy..$oy2)" \
    test "${gx:--1}" -ge $((cx - ox)) -a "${gx:--1}" -le $((cx - ox2)) -a "${gy:--1}" -ge $((cy - oy)) -a "${gy:--1}" -le $((cy - oy2))
assert_ok "the overlay goes away by itself" gui_wait_window_gone "$overlay" 5
assert_ok "the click on the overlay leaves the game the keyboard" game_has_focus

# --- The file and the notice.
assert_ok "the F9 action is logged as a save" wait_lines 1
assert_file_contains "$log" '^action=5 outcome=save-image ' "F9 saves the tooltip"
wait "$notice_watch"
notice=$(cat "$GUI_WORK/notice.id")
assert_ok "the saved notice is shown" test -n "$notice"
[ -n "$notice" ] && gui_window_shot "$notice" notice-bmp >/dev/null
assert_ok "D3Item_0001.bmp is in the image folder" test -f "$pics/D3Item_0001.bmp"
assert_eq "BMP3 $tw $th" "$(identify -format '%m %w %h' "$pics/D3Item_0001.bmp" 2>&1)" "it is a BMP with the 40-byte header, of the tooltip's size"
assert_eq $((54 + tw * th * 4)) "$(stat -c %s "$pics/D3Item_0001.bmp")" "it holds 32-bit pixels without a colour table"
assert_eq 0 "$(pixel_diff "$pics/D3Item_0001.bmp" "$GUI_WORK/save_item-tooltip.png")" \
    "its pixels are exactly the tooltip's rectangle of the shown screen"
# Let the notice go before the next action, so that a later notice is a new one.
[ -n "$notice" ] && gui_wait_window_gone "$notice" 10

# --- A read-only image folder: an alert, no notice, no overlay, no file (BMP, then JPG mode).
set_image_folder "$ro_win"
ro_before=$(ls -A "$ro" 2>/dev/null | grep -c D3Item_)
n=$(lines)
gui_key F9
assert_ok "an unwritable folder brings the alert" ever_shown "$alert_re" 10
alert=$(visible "$alert_re") && gui_window_shot "$alert" alert-read-only >/dev/null
assert_ok "the action ends" wait_lines $((n + 1))
browser=$(visible "$browser_re") && { _gui_say "a folder browser opened; cancelled"; gui_key Escape; gui_wait_window_gone "$browser" 10; }
assert_ok "no notice claims a save" never_shown "$notice_re" 2
assert_ok "no overlay is shown" test -z "$(visible "$overlay_re")"
assert_eq "$ro_before" "$(ls -A "$ro" 2>/dev/null | grep -c D3Item_)" "nothing is written into the read-only folder"
assert_eq "$pics/D3Item_0001.bmp" "$(d3items)" "no picture anywhere but the first"

menu_settings
gui_click_control 4019
sleep 0.3
gui_key End Return
sleep 0.3
gui_query_controls "설정"
assert_eq "JPG" "$(gui_control_field 4019 text)" "the image format is now JPG"
close_settings
n=$(lines)
gui_key F9
assert_ok "in JPG mode an unwritable folder brings the alert too" ever_shown "$alert_re" 10
assert_ok "the action ends" wait_lines $((n + 1))
browser=$(visible "$browser_re") && { _gui_say "a folder browser opened; cancelled"; gui_key Escape; gui_wait_window_gone "$browser" 10; }
assert_ok "and no notice" never_shown "$notice_re" 2
assert_eq "$pics/D3Item_0001.bmp" "$(d3items)" "and no picture"
ro_unmount

# --- JPG mode in the image folder, over another tooltip: D3Item_0002.jpg. The folder is typed
# with a trailing backslash, which still names it.
set_image_folder "$(gui_winpath "$pics")\\"
show helm
read -r hx hy hw hh <<<"$(tooltip_rect helm)"
n=$(lines)
gui_key F9
notice=$(poll_window "$notice_re" 15)
assert_ok "the notice confirms the JPEG" test -n "$notice"
sleep 0.5
[ -n "$notice" ] && gui_window_shot "$notice" notice-jpg >/dev/null
assert_ok "the action ends" wait_lines $((n + 1))
assert_ok "D3Item_0002.jpg is in the image folder" test -f "$pics/D3Item_0002.jpg"
assert_ok "and no D3Item_0002.bmp" test ! -e "$pics/D3Item_0002.bmp"
assert_eq "JPEG $hw $hh" "$(identify -format '%m %w %h' "$pics/D3Item_0002.jpg" 2>&1)" \
    "ImageMagick decodes it as a JPEG of the tooltip's size"
near=$(rmse "$pics/D3Item_0002.jpg" "$GUI_WORK/helm-tooltip.png")
convert "$pics/D3Item_0002.jpg" -resize "${tw}x$th!" "$GUI_WORK/jpg-resized.png"
other=$(rmse "$GUI_WORK/jpg-resized.png" "$GUI_WORK/save_item-tooltip.png")
assert_ok "its colours are close to the tooltip's (RMSE $near)" awk -v e="$near" 'BEGIN { exit !(e != "" && e < 0.02) }'
assert_ok "closer than to the other tooltip (RMSE $other)" awk -v e="$near" -v o="$other" 'BEGIN { exit !(e * 3 < o) }'

outcomes() { sed -nE 's/^action=5 outcome=([a-z-]+) .*/\1/p' "$log" | paste -sd ' '; }
assert_eq "save-image save-failed save-failed save-image" "$(outcomes)" "saves into the read-only folder are logged as failed"
to_main
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the first run ends cleanly"
assert_eq "$(printf '%s\n' "$pics/D3Item_0001.bmp" "$pics/D3Item_0002.jpg")" "$(d3items)" "exactly the two pictures were saved"
assert_ok "no temp.bmp in the program's folder" test ! -e "$app/temp.bmp"
assert_ok "none in the image folder" test ! -e "$pics/temp.bmp"
assert_ok "the user's temp.bmp in the working folder is untouched" cmp -s "$cwd/temp.bmp" "$GUI_WORK/user-temp.copy"
assert_eq "$cwd/temp.bmp" "$(find "$GUI_ARTIFACTS" "$WINEPREFIX/drive_c" -iname temp.bmp 2>/dev/null)" \
    "no other temp.bmp under the test's folders or drive C:"

# ============ Run 2: no image folder ============
write_ini ""
rm -f "$log"
gui_launch tw "$cwd" "$app/Tallywick.exe" --log "$(gui_winpath "$log")"
main=$(gui_wait_window "Tallywick") || gui_abort "no main window in the second run"
show save_item
to_game
before=$(d3items)

# --- F9: the alert and the folder browser; cancelling writes nothing.
gui_key F9
assert_ok "without an image folder the alert shows" ever_shown "$alert_re" 10
alert=$(visible "$alert_re") && gui_window_shot "$alert" alert-no-folder >/dev/null
browser=$(poll_window "$browser_re" 15) || gui_abort "the folder browser did not open"
sleep 1
gui_screenshot alert-and-browser >/dev/null
gui_window_shot "$browser" folder-browser >/dev/null
read -r bx by bw bh <<<"$(gui_window_geometry "$browser")"
gui_mouse_move $((bx + bw / 2)) $((by + 10))  # the keyboard follows the pointer on Xvfb
gui_key Escape
assert_ok "Escape cancels the browser" gui_wait_window_gone "$browser" 10
assert_ok "the action ends" wait_lines 1
assert_ok "no notice after the cancel" never_shown "$notice_re" 2
assert_ok "and no overlay" test -z "$(visible "$overlay_re")"
assert_eq "$before" "$(d3items)" "cancelling writes no picture anywhere"

# --- F9 again: a folder chosen in the browser (My Computer, C:, the test's folder, its subfolder).
to_game
gui_key F9
assert_ok "the alert shows again" ever_shown "$alert_re" 10
browser=$(poll_window "$browser_re" 15) || gui_abort "the folder browser did not open again"
sleep 1
read -r bx by bw bh <<<"$(gui_window_geometry "$browser")"
gui_mouse_move $((bx + bw / 2)) $((by + 10))
gui_key Down Down Right Down Right
sleep 0.3
gui_type tallywick-image-save-test
sleep 0.3
gui_key Right Down
sleep 0.5
gui_window_shot "$browser" folder-browser-chosen >/dev/null
gui_key Return
assert_ok "the browser closes" gui_wait_window_gone "$browser" 10
notice=$(poll_window "$notice_re" 15)
assert_ok "the notice confirms the save" test -n "$notice"
assert_ok "the action ends" wait_lines 2
assert_eq "save-cancelled save-image" "$(outcomes)" "the cancelled press is logged as cancelled, the second as a save"
assert_ok "D3Item_0001.bmp is in the chosen folder" test -f "$chosen_dir/D3Item_0001.bmp"
assert_eq 0 "$(pixel_diff "$chosen_dir/D3Item_0001.bmp" "$GUI_WORK/save_item-tooltip.png")" \
    "its pixels are exactly the tooltip's"
assert_eq "$(printf '%s\n' "$before" "$chosen_dir/D3Item_0001.bmp" | grep . | sort)" "$(d3items)" "nothing else was written"
[ -n "$notice" ] && gui_wait_window_gone "$notice" 10

to_main
gui_close_window "$main" tw
assert_eq 0 "$GUI_EXIT_CODE" "the second run ends cleanly"
assert_eq "Image=$chosen_win" "$(ini_line Image)" "the chosen folder is in the settings file"
assert_ok "still no temp.bmp in the program's folder" test ! -e "$app/temp.bmp"
gui_finish
