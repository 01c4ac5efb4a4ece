# Window-test harness: drives real Win32 programs under Wine on Xvfb as a user would (xdotool,
# xwininfo, ImageMagick). Sourced by the scenario scripts tests/gui/*_test.sh:
#
#   source "$(dirname "$0")/harness.sh"
#   gui_begin my_scenario                 # artifacts folder, counters, clean-up at exit
#   gui_start_display 1280x1024           # private Xvfb (or the caller's display of that size)
#   gui_prepare_prefix                    # Wine prefix with Korean fonts, started quietly
#   gui_launch game "$GUI_WORK" "$TALLYWICK_STANDIN" --log "$(gui_winpath "$GUI_WORK/game.log")"
#   wid=$(gui_wait_window "Stand-in Game") || gui_abort "no game window"
#   gui_key ctrl+1
#   assert_log_line "$GUI_WORK/game.log" 'hotkey id=1' "the hotkey reached the game"
#   gui_finish                            # summary line; non-zero exit when a check failed
#
# Environment: TALLYWICK_BUILD_DIR (the cross build tree; default build/win), TALLYWICK_STANDIN (the
# stand-in game) and TALLYWICK_EXE (the program; both default to their places in the build tree), TALLYWICK_ARTIFACTS (default
# $TALLYWICK_BUILD_DIR/gui-artifacts; each scenario gets a folder in it), WINEPREFIX (default
# $TALLYWICK_BUILD_DIR/gui-wineprefix), TALLYWICK_DISPLAY (first X display number tried for a private
# Xvfb; default 110), GUI_TIMEOUT (default wait in seconds, 30).
#
# Functions print their results on standard output and report problems on standard error. Wine's own
# output always goes to files: a Wine call read through a pipe can hang for good when it starts the
# prefix's services, which inherit the pipe.

GUI_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
: "${TALLYWICK_BUILD_DIR:=$GUI_ROOT/build/win}"
: "${TALLYWICK_STANDIN:=$TALLYWICK_BUILD_DIR/tests/gui/standin_game.exe}"
: "${TALLYWICK_EXE:=$TALLYWICK_BUILD_DIR/Tallywick.exe}"
: "${GUI_TIMEOUT:=30}"
GUI_NAME=""
GUI_ARTIFACTS=""
GUI_WORK=""
GUI_CHECKS=0
GUI_FAILURES=0
GUI_FINISHED=0
GUI_XVFB_PID=""
GUI_EXIT_CODE=""
declare -gA GUI_PIDS=()

_gui_say() { echo "[gui $GUI_NAME] $*" >&2; }

# gui_begin NAME: starts a scenario. Makes $GUI_ARTIFACTS (screenshots, program output; emptied
# first) and $GUI_WORK (scratch files inside it), and installs the clean-up at exit: programs still
# running are ended by their pids, a private Xvfb is stopped.
gui_begin() {
    GUI_NAME=$1
    GUI_ARTIFACTS="${TALLYWICK_ARTIFACTS:-$TALLYWICK_BUILD_DIR/gui-artifacts}/$GUI_NAME"
    rm -rf "$GUI_ARTIFACTS"
    mkdir -p "$GUI_ARTIFACTS/work"
    GUI_ARTIFACTS=$(cd "$GUI_ARTIFACTS" && pwd)
    GUI_WORK="$GUI_ARTIFACTS/work"
    trap _gui_cleanup EXIT
    trap 'exit 130' INT TERM
    _gui_say "artifacts in $GUI_ARTIFACTS"
}

_gui_cleanup() {
    local rc=$?
    # Every step runs whatever the one before returned (a program ended by a signal makes `wait`
    # fail), under a caller's `set -e` too: the display must be stopped.
    set +e
    if [ "$GUI_FINISHED" -ne 1 ]; then
        _gui_say "ended before gui_finish (status $rc)"
        [ -n "${DISPLAY:-}" ] && gui_screenshot failure-at-exit >/dev/null 2>&1
        [ "$rc" -eq 0 ] && rc=1
    fi
    local name
    for name in "${!GUI_PIDS[@]}"; do gui_kill "$name"; done
    # The prefix's Wine server ends with the private display: a later program on another display
    # would otherwise inherit this display's screen size.
    if [ -n "$GUI_XVFB_PID" ] && [ -n "${WINEPREFIX:-}" ]; then _gui_end_wineserver; fi
    gui_stop_display
    exit "$rc"
}

# gui_start_display [WxH[xDEPTH]]: an X display of that size (default 1280x1024x24). Reuses $DISPLAY
# when it already has that size (as under xvfb-run); otherwise starts a private Xvfb on the first
# free number from $TALLYWICK_DISPLAY (default 110) and exports DISPLAY. Stopped at exit, after the
# prefix's Wine server has ended.
gui_start_display() {
    local size=${1:-1280x1024x24}
    [[ $size =~ ^[0-9]+x[0-9]+$ ]] && size="${size}x24"
    local want=${size%x*}
    if [ -n "${DISPLAY:-}" ] && [ "$(gui_screen_size 2>/dev/null | tr ' ' x)" = "$want" ]; then
        _gui_say "using display $DISPLAY ($want)"
        return 0
    fi
    local n=${TALLYWICK_DISPLAY:-110} last=$((${TALLYWICK_DISPLAY:-110} + 40))
    for ((; n < last; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "$size" -nolisten tcp -noreset >"$GUI_ARTIFACTS/xvfb.log" 2>&1 </dev/null &
        GUI_XVFB_PID=$!
        local i
        for ((i = 0; i < 100; i++)); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                export DISPLAY=":$n"
                unset XAUTHORITY
                _gui_say "started Xvfb $DISPLAY ($size)"
                return 0
            fi
            kill -0 "$GUI_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$GUI_XVFB_PID" 2>/dev/null
        wait "$GUI_XVFB_PID" 2>/dev/null
        GUI_XVFB_PID=""
    done
    _gui_say "cannot start Xvfb (see $GUI_ARTIFACTS/xvfb.log)"
    return 1
}

# _gui_end_wineserver: waits (bounded) for the prefix's Wine server to end, and ends it when it does
# not: a server that outlives its display keeps that display's screen size for the next programs.
_gui_end_wineserver() {
    timeout 60 wineserver -w >/dev/null 2>&1 </dev/null && return 0
    _gui_say "the Wine server did not end by itself; ending it"
    timeout 20 wineserver -k >/dev/null 2>&1 </dev/null
    timeout 20 wineserver -w >/dev/null 2>&1 </dev/null
    return 0
}

# gui_stop_display: stops the private Xvfb, if this scenario started one.
gui_stop_display() {
    if [ -n "$GUI_XVFB_PID" ]; then
        kill "$GUI_XVFB_PID" 2>/dev/null
        wait "$GUI_XVFB_PID" 2>/dev/null
        GUI_XVFB_PID=""
    fi
}

# gui_screen_size: prints "W H" of the display's root window.
gui_screen_size() {
    xwininfo -root 2>/dev/null | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { if (w) print w, h; else exit 1 }'
}

# gui_prepare_prefix: exports the Wine environment (WINEPREFIX, default under the build tree;
# WINEDEBUG=-all; no Mono or Gecko; LANG=ko_KR.UTF-8 when that locale exists), makes the prefix once
# and sets it up once: the Korean and dialog faces map to NanumGothic
# (HKCU\Software\Wine\Fonts\Replacements), and Wine draws the window frames and captions itself
# (HKCU\Software\Wine\X11 Driver, Decorated=N: there is no window manager on Xvfb, so otherwise no
# caption is drawn at all and a window's X window is its client area alone). The prefix's Desktop,
# Documents and the other folders Wine links to the user's home are folders of its own, so that no
# test depends on what the home folder holds (a clone of this tree, say). Starts the prefix's
# services with their output to /dev/null. When a private display was started, first waits
# (bounded) for a Wine server of the prefix left from another display to end: the prefix's desktop
# process keeps the screen size of the display it started on.
gui_prepare_prefix() {
    export WINEPREFIX="${WINEPREFIX:-$TALLYWICK_BUILD_DIR/gui-wineprefix}"
    export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
    if locale -a 2>/dev/null | grep -qix 'ko_KR\.utf-\?8'; then
        export LANG=ko_KR.UTF-8
    else
        _gui_say "the ko_KR.UTF-8 locale is missing; Wine runs in C.UTF-8"
        export LANG=C.UTF-8
    fi
    unset LC_ALL
    mkdir -p "$WINEPREFIX"
    if [ -n "$GUI_XVFB_PID" ]; then _gui_end_wineserver; fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        _gui_say "creating the Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w >/dev/null 2>&1 </dev/null
    fi
    _gui_own_shell_folders
    wineboot >/dev/null 2>&1 </dev/null  # starts the services now, with nothing to inherit
    local stamp="$WINEPREFIX/.tallywick-gui-setup-2"
    if [ ! -f "$stamp" ]; then
        local font
        font=$(fc-list : family 2>/dev/null | tr ',' '\n' | grep -x 'NanumGothic' | head -n1)
        [ -n "$font" ] || { _gui_say "NanumGothic not found (Debian: fonts-nanum)"; return 1; }
        local reg="$GUI_WORK/prefix.reg" face
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
            for face in "굴림" "Gulim" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "돋움" "Dotum" "맑은 고딕" "Malgun Gothic"; do
                printf '"%s"="%s"\r\n' "$face" "$font"
            done
            printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n'
        } | iconv -f UTF-8 -t UTF-16 >"$reg"  # with a byte-order mark, as regedit wants
        wine regedit /S "$(gui_winpath "$reg")" >/dev/null 2>&1 </dev/null
        wine reg query 'HKCU\Software\Wine\Fonts\Replacements' >"$GUI_WORK/prefix.query" 2>&1 </dev/null
        wine reg query 'HKCU\Software\Wine\X11 Driver' /v Decorated >>"$GUI_WORK/prefix.query" 2>&1 </dev/null
        if grep -q "MS Shell Dlg 2.*$font" "$GUI_WORK/prefix.query" && grep -q 'Decorated.*N' "$GUI_WORK/prefix.query"; then
            touch "$stamp"
        else
            _gui_say "the prefix settings did not reach the registry (see $GUI_WORK/prefix.query)"
            return 1
        fi
    fi
}

# _gui_own_shell_folders: the prefix's Desktop, Documents, Pictures ... become empty folders of its
# own. Wine makes them links to the user's home (or its Desktop, Documents ... folders), so the
# folder browser would show whatever lies there, a clone of this tree among it, where a test looks
# for its own folder by name.
_gui_own_shell_folders() {
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
        [ -L "$link" ] || continue
        rm -f "$link" && mkdir -p "$link"
    done
}

# gui_winpath PATH: the Windows form of a Unix path (drive Z: is the Unix root in a Wine prefix).
# Give programs under Wine Windows paths: a bare "/x/y" would be taken on the current drive.
gui_winpath() {
    local p=$1
    [[ $p == /* ]] || p="$PWD/$p"
    p="Z:$p"
    echo "${p//\//\\}"
}

# gui_launch NAME DIR PROGRAM [ARGS...]: starts PROGRAM (a .exe path) under Wine in working folder
# DIR, its output in $GUI_ARTIFACTS/NAME.out; remembers its pid under NAME (${GUI_PIDS[NAME]}).
gui_launch() {
    local name=$1 dir=$2 program=$3
    shift 3
    [ -f "$program" ] || { _gui_say "no program $program"; return 1; }
    (cd "$dir" && exec wine "$program" "$@") >"$GUI_ARTIFACTS/$name.out" 2>&1 </dev/null &
    GUI_PIDS[$name]=$!
    _gui_say "launched $name (pid ${GUI_PIDS[$name]}): $(basename "$program") $*"
}

# gui_running NAME: status 0 while the program runs.
gui_running() {
    local pid=${GUI_PIDS[$1]:-}
    [ -n "$pid" ] || return 1
    local state
    state=$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# gui_wait_exit NAME [TIMEOUT]: waits for the program to end; sets GUI_EXIT_CODE and returns it.
# On timeout returns 124, GUI_EXIT_CODE=timeout, and the program keeps running.
gui_wait_exit() {
    local name=$1 limit=${2:-$GUI_TIMEOUT} pid=${GUI_PIDS[$1]:-}
    [ -n "$pid" ] || { _gui_say "no program named $name"; GUI_EXIT_CODE=none; return 125; }
    local end=$((SECONDS + limit))
    while gui_running "$name"; do
        if [ "$SECONDS" -ge "$end" ]; then
            _gui_say "$name still running after ${limit}s"
            GUI_EXIT_CODE=timeout
            return 124
        fi
        sleep 0.1
    done
    wait "$pid" 2>/dev/null
    GUI_EXIT_CODE=$?
    unset "GUI_PIDS[$name]"
    return "$GUI_EXIT_CODE"
}

# gui_kill NAME: ends the program by its pid (and waits for it), if it still runs.
gui_kill() {
    local pid=${GUI_PIDS[$1]:-}
    [ -n "$pid" ] || return 0
    if gui_running "$1"; then
        _gui_say "ending $1 (pid $pid)"
        kill "$pid" 2>/dev/null
        local i
        for ((i = 0; i < 50; i++)); do
            gui_running "$1" || break
            sleep 0.1
        done
        gui_running "$1" && kill -9 "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    unset "GUI_PIDS[$1]"
}

# gui_run DIR PROGRAM [ARGS...]: runs a short Wine program to its end (bounded by GUI_TIMEOUT), its
# output in $GUI_ARTIFACTS/run-N.out; returns its exit code (124 when it had to be ended).
GUI_RUNS=0
gui_run() {
    local dir=$1 program=$2
    shift 2
    GUI_RUNS=$((GUI_RUNS + 1))
    (cd "$dir" && exec timeout -k 5 "$GUI_TIMEOUT" wine "$program" "$@") >"$GUI_ARTIFACTS/run-$GUI_RUNS.out" 2>&1 </dev/null
}

# gui_start_game [STANDIN OPTIONS...]: starts the stand-in game (program name "game", log
# $GUI_WORK/game.log) with the options given (--picture FILE, --scene FILE, --hold-hotkey MOD,KEY;
# Unix paths given after --picture, --scene and --save-picture are turned into Windows paths), waits
# for its window and its "ready" line, and sets GUI_GAME_WID and GUI_GAME_LOG. Status 1 when the
# game does not come up.
gui_start_game() {
    local args=() a path_next=0
    for a in "$@"; do
        if [ "$path_next" -eq 1 ] && [[ $a == /* ]]; then a=$(gui_winpath "$a"); fi
        path_next=0
        case $a in --picture | --scene | --save-picture | --pack) path_next=1 ;; esac
        args+=("$a")
    done
    GUI_GAME_LOG="$GUI_WORK/game.log"
    local attempt seen want
    want=$(gui_screen_size | tr ' ' x)
    # Wine must see the display's own size, or every place on the screen is off. A Wine server
    # that came up with another size is ended, and the game started once more.
    for attempt in 1 2; do
        rm -f "$GUI_GAME_LOG"
        gui_launch game "$GUI_WORK" "$TALLYWICK_STANDIN" --log "$(gui_winpath "$GUI_GAME_LOG")" "${args[@]}" || return 1
        GUI_GAME_WID=$(gui_wait_window "Stand-in Game") || return 1
        gui_wait_line "$GUI_GAME_LOG" ' ready ' 10 || { _gui_say "the game did not report ready"; return 1; }
        seen=$(grep -m1 ' ready ' "$GUI_GAME_LOG" | sed -nE 's/.* screen=([0-9]+x[0-9]+) .*/\1/p')
        [ "$seen" = "$want" ] && return 0
        _gui_say "Wine sees a $seen screen on the $want display"
        [ "$attempt" -eq 2 ] && return 1
        gui_kill game
        timeout 20 wineserver -k >/dev/null 2>&1 </dev/null
        timeout 20 wineserver -w >/dev/null 2>&1 </dev/null
        wineboot >/dev/null 2>&1 </dev/null
    done
}

# gui_show_scene DESCRIPTION: the stand-in game (started with --scene "$GUI_WORK/scene.txt") shows
# the scene of that composer description instead; returns once it is on screen. The picture is
# also written where --save-picture said.
# A BMP picture given instead of a description is shown as it is (an entirely black screen, say).
gui_show_scene() {
    cp "$1" "$GUI_WORK/scene.txt" || return 1
    gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --reload
}

_gui_regex() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'; }

# gui_find_window TITLE: prints the X window ids of visible windows with exactly that title.
gui_find_window() {
    xdotool search --onlyvisible --name "^$(_gui_regex "$1")\$" 2>/dev/null
}

# gui_wait_window TITLE [TIMEOUT]: waits for a visible window with exactly that title; prints its X
# window id (the first when there are several). Status 1 on timeout.
gui_wait_window() {
    local title=$1 limit=${2:-$GUI_TIMEOUT} ids
    local end=$((SECONDS + limit))
    while :; do
        ids=$(gui_find_window "$title")
        if [ -n "$ids" ]; then
            head -n1 <<<"$ids"
            return 0
        fi
        [ "$SECONDS" -ge "$end" ] && break
        sleep 0.2
    done
    _gui_say "no window \"$title\" after ${limit}s"
    return 1
}

# gui_wait_window_gone TITLE|WID [TIMEOUT]: waits until no visible window has that title (or the
# window with that id is unmapped or destroyed). Status 1 on timeout.
gui_wait_window_gone() {
    local what=$1 limit=${2:-$GUI_TIMEOUT}
    local end=$((SECONDS + limit))
    while :; do
        if [[ $what =~ ^[0-9]+$ ]]; then
            gui_window_visible "$what" || return 0
        else
            [ -z "$(gui_find_window "$what")" ] && return 0
        fi
        [ "$SECONDS" -ge "$end" ] && break
        sleep 0.2
    done
    _gui_say "window \"$what\" still shown after ${limit}s"
    return 1
}

# gui_window_geometry WID: prints "X Y W H", the window's position on the screen and size.
gui_window_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^  Width:/ { w = $2 } /^  Height:/ { h = $2 }
        END { if (w == "") exit 1; print x, y, w, h }'
}

# gui_window_visible WID: status 0 when the window exists and is mapped (viewable).
gui_window_visible() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# gui_window_title WID: prints the window's title.
gui_window_title() { xdotool getwindowname "$1" 2>/dev/null; }

# gui_client_rect TITLE: prints "X Y W H", the client area (screen position and size) of the
# top-level window with exactly that title, as Windows sees it; asks the stand-in game, since the X
# window of a framed window also holds its frame and caption. Status 1 when there is no such window.
gui_client_rect() {
    local out="$GUI_WORK/query-window.log"
    rm -f "$out"
    gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --query-window "$1" --log "$(gui_winpath "$out")"
    sed -nE 's/.*query-window window=[-0-9,]+ client=(-?[0-9]+),(-?[0-9]+),([0-9]+),([0-9]+).*/\1 \2 \3 \4/p' "$out" 2>/dev/null | grep .
}

# --- Controls of a program's windows, as a user sees them ---

# gui_query_controls TITLE: lists every control of the top-level window with that exact title into
# $GUI_CONTROLS (one "control id=N class=C parent=P x= y= w= h= visible= enabled= readonly= checked=
# choice= text=T" line each; asks the stand-in game). Status 1 when there is no such window.
gui_query_controls() {
    GUI_CONTROLS="$GUI_WORK/controls.log"
    rm -f "$GUI_CONTROLS"
    gui_run "$GUI_WORK" "$TALLYWICK_STANDIN" --query-controls "$1" --log "$(gui_winpath "$GUI_CONTROLS")"
    grep -q 'query-controls done' "$GUI_CONTROLS" 2>/dev/null
}

# gui_control_line ID [N]: the line of the Nth (default 1) visible control with that id, from the
# last gui_query_controls (ids repeat across dialogs; visible ones are on the page shown).
gui_control_line() {
    grep -E "control id=$1 .* visible=1 " "$GUI_CONTROLS" 2>/dev/null | sed -n "${2:-1}p" | grep .
}

# gui_control_field ID FIELD [N]: one field (x, y, w, h, enabled, readonly, checked, choice, text,
# class) of a control.
gui_control_field() {
    local line
    line=$(gui_control_line "$1" "${3:-1}") || return 1
    if [ "$2" = text ]; then
        printf '%s\n' "${line#* text=}"
    else
        sed -E "s/.* $2=([^ ]*) .*/\1/" <<<"$line"
    fi
}

# gui_click_control ID [N]: clicks the middle of a visible control from the last query.
gui_click_control() {
    local x y w h
    x=$(gui_control_field "$1" x "${2:-1}") || { _gui_say "no visible control $1"; return 1; }
    y=$(gui_control_field "$1" y "${2:-1}")
    w=$(gui_control_field "$1" w "${2:-1}")
    h=$(gui_control_field "$1" h "${2:-1}")
    gui_click_screen $((x + w / 2)) $((y + h / 2))
}

# gui_choose ID KEYS...: opens the drop-down list of a combo box from the last query and picks a
# choice with the keyboard (Home, Down, End ...), then Return.
gui_choose() {
    local id=$1
    shift
    gui_click_control "$id" || return 1
    sleep 0.3
    gui_key "$@" Return
    sleep 0.3
}

# gui_click_tab N: clicks tab N (0 first) of the tab control in the last query; the program's tabs
# are about 60 and 80 pixels wide.
gui_click_tab() {
    local line x y
    line=$(grep -E 'class=SysTabControl32 .* visible=1 ' "$GUI_CONTROLS" | head -n1) || return 1
    x=$(sed -E 's/.* x=([0-9]+) .*/\1/' <<<"$line")
    y=$(sed -E 's/.* y=([0-9]+) .*/\1/' <<<"$line")
    gui_click_screen $((x + ($1 == 0 ? 30 : 100))) $((y + 10))
    sleep 1
}

# gui_click_button ID: clicks the box of a visible check box or radio button with that id from the
# last query (ids repeat across dialogs; the class tells them apart from edits).
gui_click_button() {
    local line
    line=$(grep -E "control id=$1 class=Button .* visible=1 " "$GUI_CONTROLS" | head -n1) || return 1
    gui_click_screen $(($(sed -E 's/.* x=([0-9]+) .*/\1/' <<<"$line") + 8)) $(($(sed -E 's/.* y=([0-9]+) .*/\1/' <<<"$line") + 8))
}

# gui_keys_to WID KEYS...: presses keys in that window (on Xvfb the keyboard follows the pointer, so
# the pointer goes over the window's caption first).
gui_keys_to() {
    local wid=$1 x y w h
    shift
    read -r x y w h <<<"$(gui_window_geometry "$wid")"
    gui_mouse_move $((x + w / 2)) $((y + 8))
    gui_key "$@"
}

# gui_type_into ID TEXT [N]: clicks an edit field, replaces its text by TEXT.
gui_type_into() {
    gui_click_control "$1" "${3:-1}" || return 1
    gui_key End shift+Home BackSpace
    gui_type "$2"
}

# --- Input (through the XTEST extension, as real devices: Wine ignores synthetic X events) ---

# gui_mouse_move X Y: moves the pointer to the screen point.
gui_mouse_move() { xdotool mousemove --sync "$1" "$2"; }

# gui_click_screen X Y [BUTTON]: clicks at the screen point (1 left, 2 middle, 3 right).
gui_click_screen() { xdotool mousemove --sync "$1" "$2" click "${3:-1}"; }

# gui_click WID X Y [BUTTON]: clicks at (X, Y) relative to the window's top-left corner.
gui_click() {
    local g
    g=$(gui_window_geometry "$1") || { _gui_say "no window $1"; return 1; }
    set -- "$1" "$2" "$3" "${4:-1}" $g
    gui_click_screen $(($5 + $2)) $(($6 + $3)) "$4"
}

# gui_click_client TITLE X Y [BUTTON]: clicks at client coordinates of the window with that title.
gui_click_client() {
    local r
    r=$(gui_client_rect "$1") || { _gui_say "no window \"$1\""; return 1; }
    set -- "$1" "$2" "$3" "${4:-1}" $r
    gui_click_screen $(($5 + $2)) $(($6 + $3)) "$4"
}

# gui_type TEXT: types the text into the focused window (ASCII).
gui_type() { xdotool type --delay 40 -- "$1"; }

# gui_key COMBO...: presses key combinations one after another: ctrl+1 ctrl+shift+2 F9 Escape Return
# Tab alt+F4 ...
gui_key() { xdotool key --delay 60 -- "$@"; }

# gui_focus WID: gives the window the keyboard focus (and raises it); bounded.
gui_focus() {
    xdotool windowraise "$1" 2>/dev/null
    timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null
    sleep 0.2
}

# gui_focused_window: prints the X window id that has the keyboard focus (nothing for none/root).
gui_focused_window() { xdotool getwindowfocus 2>/dev/null | grep -vx '[01]'; }

# gui_close_window WID [NAME] [TIMEOUT]: closes the window as a user does (focus, Alt+F4), waits
# until it is gone and, given the program's NAME, for the program to end; returns as gui_wait_exit.
gui_close_window() {
    local wid=$1 name=${2:-} limit=${3:-$GUI_TIMEOUT}
    gui_mouse_move $(gui_window_geometry "$wid" | awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }')
    gui_focus "$wid"
    gui_key alt+F4
    gui_wait_window_gone "$wid" "$limit" || return 1
    [ -z "$name" ] || gui_wait_exit "$name" "$limit"
}

# --- Screenshots and pixels (colours as RRGGBB, upper case) ---

# gui_screenshot NAME: saves the whole screen as $GUI_ARTIFACTS/NAME.png and prints the path.
gui_screenshot() {
    local out="$GUI_ARTIFACTS/$1.png"
    import -window root "$out" 2>>"$GUI_ARTIFACTS/imagemagick.log" || { _gui_say "screenshot failed"; return 1; }
    echo "$out"
}

# gui_crop SHOT X Y W H NAME: saves that rectangle of a screenshot as $GUI_ARTIFACTS/NAME.png;
# prints the path.
gui_crop() {
    local out="$GUI_ARTIFACTS/$6.png"
    convert "$1" -crop "$4x$5+$2+$3" +repage "$out" && echo "$out"
}

# gui_window_shot WID NAME: screenshot of the window alone as $GUI_ARTIFACTS/NAME.png; prints the path.
gui_window_shot() {
    local g shot
    g=$(gui_window_geometry "$1") || { _gui_say "no window $1"; return 1; }
    shot=$(gui_screenshot "$2-screen") || return 1
    set -- "$1" "$2" $g
    gui_crop "$shot" "$3" "$4" "$5" "$6" "$2" && rm -f "$shot"
}

# gui_pixel SHOT X Y: prints the pixel's colour RRGGBB.
gui_pixel() {
    local hex
    hex=$(convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null) || return 1
    echo "${hex:0:6}" | tr a-f A-F
}

# gui_count_colour SHOT X Y W H RRGGBB: prints how many pixels of the rectangle have that colour.
gui_count_colour() {
    local want
    want=$(tr a-f A-F <<<"$6")
    convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 -format %c histogram:info:- 2>/dev/null |
        awk -v c="#$want" '{ for (i = 1; i <= NF; i++) if (toupper($i) == c) n += $1 + 0 } END { print n + 0 }'
}

# gui_region_diff SHOT X Y PICTURE PX PY W H: prints how many pixels differ between the W x H
# rectangle of the screenshot at (X, Y) and that of PICTURE (any image file) at (PX, PY).
gui_region_diff() {
    local a="$GUI_WORK/diff-a.png" b="$GUI_WORK/diff-b.png"
    convert "$1" -crop "$7x$8+$2+$3" +repage -depth 8 -alpha off "$a" &&
        convert "$4" -crop "$7x$8+$5+$6" +repage -depth 8 -alpha off "$b" || return 1
    compare -metric AE "$a" "$b" null: 2>&1 | awk '{ print int($1) }'
}

# --- Waiting for log lines ---

# gui_wait_line FILE REGEX [TIMEOUT]: waits until a line of FILE matches the extended REGEX.
gui_wait_line() {
    local limit=${3:-$GUI_TIMEOUT}
    local end=$((SECONDS + limit))
    until grep -qE -- "$2" "$1" 2>/dev/null; do
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.1
    done
}

# gui_line_count FILE REGEX: prints how many lines of FILE match.
gui_line_count() { grep -cE -- "$2" "$1" 2>/dev/null || true; }

# --- Assertions: each prints "ok" or "FAIL" with its description and counts ---

_gui_check() {
    GUI_CHECKS=$((GUI_CHECKS + 1))
    if [ "$1" -eq 0 ]; then
        echo "ok   - $2"
    else
        GUI_FAILURES=$((GUI_FAILURES + 1))
        echo "FAIL - $2"
        [ -z "${3:-}" ] || echo "       $3"
    fi
}

# assert_eq EXPECTED ACTUAL DESCRIPTION
assert_eq() {
    [ "$1" = "$2" ]
    _gui_check $? "$3" "expected \"$1\", got \"$2\""
}

# assert_ok DESCRIPTION COMMAND [ARGS...]: the command succeeds.
assert_ok() {
    local what=$1
    shift
    "$@"
    _gui_check $? "$what" "failed: $*"
}

# assert_same_profile EXPECTED SAVED DESCRIPTION: profile 1 of the settings file SAVED is the one in
# EXPECTED (where tallywick-cli equipped the same pictures), and that one differs from a first start's.
assert_same_profile() {
    _gui_profile_1() { tr -d '\r' <"$1" | awk '/^\[/ { p = ($0 == "[Profiles]") } p && /^1=/'; }
    assert_ok "the reader's equip changed the expected profile" \
        test "$(_gui_profile_1 "$1")" != "$(_gui_profile_1 "$GUI_ROOT/tests/gui/expected/first_run.ini")"
    assert_eq "$(_gui_profile_1 "$1")" "$(_gui_profile_1 "$2")" "$3"
}

# assert_file_contains FILE REGEX DESCRIPTION: a line of the file matches (extended regex).
assert_file_contains() {
    grep -qE -- "$2" "$1" 2>/dev/null
    _gui_check $? "$3" "no line of $1 matches /$2/"
}

# assert_file_lacks FILE REGEX DESCRIPTION: no line of the file matches.
assert_file_lacks() {
    ! grep -qE -- "$2" "$1" 2>/dev/null
    _gui_check $? "$3" "$1 has: $(grep -m1 -E -- "$2" "$1" 2>/dev/null)"
}

# assert_log_line FILE REGEX DESCRIPTION [TIMEOUT]: a matching line appears within the timeout
# (default 10 s): for logs that a running program is still writing.
assert_log_line() {
    gui_wait_line "$1" "$2" "${4:-10}"
    _gui_check $? "$3" "no line of $1 matched /$2/ within ${4:-10}s"
}

# assert_pixel SHOT X Y RRGGBB DESCRIPTION
assert_pixel() {
    local got want
    got=$(gui_pixel "$1" "$2" "$3")
    want=$(tr a-f A-F <<<"$4")
    [ "$got" = "$want" ]
    _gui_check $? "$5" "pixel ($2, $3) of $(basename "$1") is ${got:-unreadable}, expected $want"
}

# gui_abort MESSAGE: counts a failure and finishes the scenario at once (for a missing window etc.).
gui_abort() {
    _gui_check 1 "$1"
    gui_finish
}

# gui_finish: prints the summary line and exits: 0 when every check passed; otherwise saves a
# screenshot and keeps the programs' output in the artifacts folder, and exits 1.
gui_finish() {
    GUI_FINISHED=1
    if [ "$GUI_CHECKS" -eq 0 ]; then
        GUI_FAILURES=$((GUI_FAILURES + 1))
        echo "FAIL - the scenario checked nothing"
    fi
    if [ "$GUI_FAILURES" -ne 0 ]; then
        gui_screenshot failure >/dev/null 2>&1
        local f
        for f in "$GUI_ARTIFACTS"/*.out "$GUI_WORK"/*.log; do
            [ -s "$f" ] && { echo "--- $f"; tail -n 40 "$f"; }
        done
    fi
    echo "gui $GUI_NAME: $GUI_CHECKS checks, $GUI_FAILURES failed (artifacts: $GUI_ARTIFACTS)"
    [ "$GUI_FAILURES" -eq 0 ] && exit 0
    exit 1
}
