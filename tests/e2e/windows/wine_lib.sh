# Shared helpers for the end-to-end tests of zelm.scr under Wine on Xvfb. Each test script
# sources this file, which gives it a private temporary folder, the Wine prefix made once for
# the whole run (prefix.sh), and cleanup of everything it started. Needs: ZELM_SCR, ZELM_SETUP,
# ZELM_DATA and ZELM_WINEPREFIX.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../x_lib.sh"

E2E_TMP=$(mktemp -d /tmp/zelm-wine.XXXXXX)
export WINEPREFIX="$ZELM_WINEPREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko
export WINEDEBUG="-all,+debugstr"           # message boxes also go to OutputDebugStringA
KEY='HKLM\Software\Varno\ZELM'
SCR_PID=
SCR_RC=
SCR_ERR="$E2E_TMP/stderr"

[ -f "$ZELM_SCR" ] || { echo "FAIL: $ZELM_SCR is missing: build the windows preset first" >&2; exit 1; }
[ -f "$WINEPREFIX/system.reg" ] || { echo "FAIL: no Wine prefix at $WINEPREFIX" >&2; exit 1; }

e2e_cleanup() {
    if [ -n "$SCR_PID" ]; then kill -9 "$SCR_PID" 2>/dev/null || true; fi
    # Wine's processes go before the X server they draw on.
    timeout 20 wineserver -k 2>/dev/null || true
    stop_pid XSERVER_PID
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$SCR_ERR" ]; then
        echo "--- debug output of zelm.scr:" >&2
        grep -v ':fixme:' "$SCR_ERR" | tail -n 40 >&2
    fi
    exit 1
}

# start_xvfb WIDTHxHEIGHT: a private X server on a free display number. Any Wine processes
# left from the last screen go first.
start_xvfb() {
    timeout 20 wineserver -k 2>/dev/null || true
    start_xserver Xvfb -screen 0 "${1}x24" -br
}

# wine_quiet ARGS...: a Wine helper (reg, the installer) with its chatter dropped.
wine_quiet() { WINEDEBUG=-all wine "$@" >/dev/null 2>&1; }

# clear_settings: no settings key at all, machine-wide or the user's, as on a machine where zelm
# never ran.
clear_settings() {
    wine_quiet reg delete 'HKLM\Software\Varno' /f || true
    wine_quiet reg delete 'HKCU\Software\Varno' /f || true
}

# windows_path PATH: the Wine path of a Unix path (drive Z: is the Unix root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# seed DATADIR HEIGHTFIELD FULLSCREEN ALT_BLEND: settings as the installer leaves them.
seed() {
    clear_settings
    local name value
    for pair in "datadir=$1" "use_heightfield=$2" "fullscreen=$3" "use_alt_blend=$4"; do
        name=${pair%%=*}
        value=${pair#*=}
        # Wine's reg once failed here in a full run and never again; a second try tells such a
        # hiccup from a real fault, and says why when it is one.
        wine_quiet reg add "$KEY\\$name" /ve /d "$value" /f ||
            WINEDEBUG=-all wine reg add "$KEY\\$name" /ve /d "$value" /f >"$E2E_TMP/reg.log" 2>&1 ||
            fail "cannot seed $name: $(grep -v fixme "$E2E_TMP/reg.log" | head -n 5)"
    done
}

# setting NAME: the default string value of the setting's subkey; fails when it is missing.
# Prints "REG_SZ<tab>text" so that a test sees the value's type too.
setting() {
    setting_once "$1" || setting_once "$1"  # one more try for a hiccup of Wine's reg, as in seed
}

setting_once() {
    local out
    out=$(WINEDEBUG=-all wine reg query "$KEY\\$1" /ve 2>/dev/null | tr -d '\r') || return 1
    printf '%s\n' "$out" | sed -n 's/^ *(Default) *\(REG_[A-Z_]*\) *\(.*\)$/\1\t\2/p' | grep .
}

# start_scr PROGRAM ARGS...: runs a Windows program in the background, its debug output kept.
start_scr() {
    SCR_RC=
    : >"$SCR_ERR"
    wine "$@" 2>"$SCR_ERR" >/dev/null &
    SCR_PID=$!
}

scr_running() { kill -0 "$SCR_PID" 2>/dev/null; }
scr_ended() { ! scr_running; }

# expect_exit SECONDS CODE: the program ends within SECONDS with CODE.
expect_exit() {
    collect_exit "$1" SCR_PID || fail "still running after $1 s"
    SCR_RC=$EXIT_RC
    [ "$SCR_RC" -eq "$2" ] || fail "exit code $SCR_RC, expected $2"
}

# messages: every "Caption: text" the program passed to OutputDebugStringA, one a line.
messages() {
    sed -n 's/^.*:debugstr:OutputDebugStringA "\(.*\)"$/\1/p' "$SCR_ERR"
}

# expect_messages TEXT: the messages so far are exactly TEXT (lines joined with \n).
expect_messages() {
    local got
    got=$(messages)
    [ "$got" = "$1" ] || fail "messages were [$got], expected [$1]"
}

window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" | grep -q IsViewable; }

# dismiss SECONDS CAPTION: waits for the message box, presses its OK button with the keyboard
# and waits until it is gone.
dismiss() {
    local box
    box=$(wait_window "$1" "$2")
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key Return
    wait_until 10 window_gone "$box" || fail "the \"$2\" box did not close"
}

# dismiss_until_exit SECONDS NAME: OK on each box titled NAME that stays open, until the program
# ends. For boxes shown after the window was destroyed: its quit is then pending, so Windows
# (and Wine 10) ends their modal loops at once and they close by themselves; Wine 8 keeps them
# open until OK. What they said is in the debug output either way.
dismiss_until_exit() {
    local deadline=$((SECONDS + $1)) box
    while scr_running; do
        [ $SECONDS -lt $deadline ] || fail "the program did not end within $1 s"
        box=$(window "$2") || true  # none open
        if [ -n "$box" ]; then
            xdotool windowfocus "$box" 2>/dev/null || true
            xdotool key Return
        fi
        sleep 0.1
    done
}

# click_at WINDOW DX DY: clicks the point (DX, DY) of a dialog, in dialog units of our
# 306 x 201 template, wherever Wine placed it and whatever its font makes of the units.
click_at() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH * $2 / 306)) $((Y + HEIGHT * $3 / 201)) click 1
}

# scene_shown FILE: the demo's 640 x 480 picture holds a lit, textured scene and the meter.
scene_shown() {
    local colours lit meter
    colours=$(convert "$1" -crop 640x480+0+0 +repage -format '%k' info:)
    lit=$(convert "$1" -crop 640x480+0+0 +repage -colorspace gray -threshold 8% -format '%[fx:mean]' info:)
    meter=$(convert "$1" -crop 200x10+0+0 +repage -colorspace gray -threshold 50% -format '%[fx:mean]' info:)
    awk -v c="$colours" -v l="$lit" -v m="$meter" 'BEGIN { exit !(c > 200 && l > 0.05 && l < 0.95 && m > 0.02) }'
}

# meter_blank FILE: nothing drawn along the top of the demo's area, where every frame writes
# its frame-rate meter (message boxes open in the middle of the screen).
meter_blank() {
    [ "$(convert "$1" -crop 640x40+0+0 +repage -colorspace gray -threshold 2% -format '%[fx:mean]' info:)" = 0 ]
}

# wait_scene SECONDS: waits until a grabbed frame shows the scene; the frame stays in
# $E2E_TMP/frame.png.
wait_scene() {
    local deadline=$((SECONDS + $1))
    while true; do
        # A grab can fail while a window comes or goes: that frame is simply not the scene yet.
        if grab "$E2E_TMP/frame.png" 2>/dev/null && scene_shown "$E2E_TMP/frame.png"; then
            return 0
        fi
        ((SECONDS < deadline)) || fail "no frame of the scene within $1 s"
        sleep 0.3
    done
}

# start_faulty FAULTS ARGS...: the test build of zelm.scr (zelm-faults.scr) with the Win32 calls
# named in FAULTS (comma-separated) failing the way Windows reports it. Its debug output adds
# each box's buttons, icon and owner, the display-mode changes and the window's destruction.
start_faulty() {
    [ -f "$ZELM_SCR_FAULTS" ] || fail "$ZELM_SCR_FAULTS is missing: build the windows preset first"
    local faults=$1
    shift
    ZELM_FAULT="$faults" start_scr "$ZELM_SCR_FAULTS" "$@"
}

# lines TEXT...: the arguments, one a line, as expect_messages takes them.
lines() { printf '%s\n' "$@"; }
