# Shared helpers for the end-to-end tests of zelm under Xvfb. Each test script sources this
# file, which gives it a private temporary folder, its own XDG config directories, and cleanup
# of every process it started. Needs: ZELM (the program), ZELM_DATA (the data directory),
# ZELM_SEND_CLOSE (the close-box helper).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../x_lib.sh"

E2E_TMP=$(mktemp -d /tmp/zelm-e2e.XXXXXX)
export XDG_CONFIG_HOME="$E2E_TMP/config"
export XDG_CONFIG_DIRS="$E2E_TMP/system"  # keeps settings installed on this machine out
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CONFIG_DIRS"
unset ZELM_NO_DIALOGS
unset WAYLAND_DISPLAY  # zelm would take a compositor of the desktop the tests run in
KEY="$XDG_CONFIG_HOME/Varno/ZELM"
ZELM_PID=
ZELM_RC=
ZELM_ERR="$E2E_TMP/stderr"

e2e_cleanup() {
    if [ -n "$ZELM_PID" ]; then kill -9 "$ZELM_PID" 2>/dev/null || true; fi
    stop_pid XSERVER_PID
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "$ZELM_PID" ]; then
        echo "--- zelm is $(zelm_running && echo running || echo not running)" >&2
    fi
    if [ -n "$XSERVER_PID" ]; then
        echo "--- the X server is $(kill -0 "$XSERVER_PID" 2>/dev/null || echo "not ")running;" \
            "windows on $DISPLAY:" >&2
        xwininfo -root -tree 2>&1 | grep -E '^ +0x' >&2 || true
        tail -n 5 "$E2E_TMP/xserver.log" >&2 || true
    fi
    if [ -s "$ZELM_ERR" ]; then
        echo "--- zelm's stderr:" >&2
        cat "$ZELM_ERR" >&2
    fi
    exit 1
}

# start_xvfb WIDTHxHEIGHT[xDEPTH]: a private Xvfb (depth 24 unless given).
start_xvfb() {
    local screen=$1
    [[ "$screen" == *x*x* ]] || screen="${screen}x24"
    start_xserver Xvfb -screen 0 "$screen"
}

kill_xserver() { stop_pid XSERVER_PID; }

# seed DATADIR HEIGHTFIELD FULLSCREEN ALT_BLEND: settings as an installer leaves them.
seed() {
    mkdir -p "$KEY"
    printf '%s\n' "$1" >"$KEY/datadir"
    printf '%s\n' "$2" >"$KEY/use_heightfield"
    printf '%s\n' "$3" >"$KEY/fullscreen"
    printf '%s\n' "$4" >"$KEY/use_alt_blend"
}

# start_zelm ARGS...: runs zelm in the background, its stderr kept in $ZELM_ERR.
start_zelm() {
    ZELM_RC=
    : >"$ZELM_ERR"
    "$ZELM" "$@" 2>"$ZELM_ERR" &
    ZELM_PID=$!
}

zelm_running() { kill -0 "$ZELM_PID" 2>/dev/null; }
zelm_ended() { ! zelm_running; }

# wait_zelm SECONDS: waits for zelm to end and keeps its exit code in ZELM_RC.
wait_zelm() {
    collect_exit "$1" ZELM_PID || fail "zelm still running after $1 s"
    ZELM_RC=$EXIT_RC
}

# expect_exit SECONDS CODE: zelm ends within SECONDS with CODE.
expect_exit() {
    wait_zelm "$1"
    [ "$ZELM_RC" -eq "$2" ] || fail "exit code $ZELM_RC, expected $2"
}

# expect_stderr TEXT: zelm's stderr is exactly TEXT (lines joined with \n).
expect_stderr() {
    local got
    got=$(cat "$ZELM_ERR")
    [ "$got" = "$1" ] || fail "stderr was [$got], expected [$1]"
}

# click WINDOW X Y: a left click at (X, Y) inside WINDOW.
click() {
    xdotool mousemove --sync --window "$1" "$2" "$3" click 1
}

# press WINDOW KEY...: gives WINDOW the focus and types the keys.
press() {
    local win=$1
    shift
    xdotool windowfocus --sync "$win" key "$@"
}

# screen_lit: some pixel of the screen is not black (a frame has been shown).
screen_lit() {
    grab "$E2E_TMP/lit.png" 2>/dev/null && at_least "$(region_stat "$E2E_TMP/lit.png" 640x480+0+0 maxima)" 0.2
}

# store_listing: every file of the config home with its contents, to compare.
store_listing() {
    (cd "$XDG_CONFIG_HOME" && find . -print0 | sort -z | xargs -0 -I{} sh -c \
        'if [ -f "{}" ]; then printf "%s=%s\n" "{}" "$(cat "{}")"; else echo "{}/"; fi')
}
