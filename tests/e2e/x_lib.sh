# Helpers shared by the end-to-end tests that run under a private X server, zelm's and zelm.scr's
# under Wine alike: waiting, the X server, processes and their exit codes, windows and screen
# grabs. Sourced by linux/lib.sh and windows/wine_lib.sh, which set E2E_TMP and define fail.

XSERVER_PID=

# A command that fails unchecked ends a test (set -e) with nothing said but the cleanup's
# chatter: name it.
trap 'echo "FAIL: \"$BASH_COMMAND\" exited with $? (${BASH_SOURCE[0]}, line $LINENO)" >&2' ERR

step() { echo "== $*"; }

# wait_until SECONDS COMMAND...: polls COMMAND every 50 ms; false if it never succeeds.
wait_until() {
    local limit_us
    limit_us=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }')
    local deadline=$((${EPOCHREALTIME/[.,]/} + limit_us))
    shift
    while true; do
        if "$@"; then return 0; fi
        ((${EPOCHREALTIME/[.,]/} < deadline)) || return 1
        sleep 0.05
    done
}

# stop_pid NAME: ends the process whose id the variable NAME holds, collects it and empties NAME.
stop_pid() {
    local pid=${!1}
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        printf -v "$1" '%s' ''
    fi
}

pid_ended() { ! kill -0 "$1" 2>/dev/null; }

# collect_exit SECONDS NAME: waits up to SECONDS for the process whose id the variable NAME holds
# to end, keeps its exit code in EXIT_RC and empties NAME; false, the process killed, when it
# does not end.
collect_exit() {
    local pid=${!2}
    printf -v "$2" '%s' ''
    if ! wait_until "$1" pid_ended "$pid"; then
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        return 1
    fi
    EXIT_RC=0
    wait "$pid" || EXIT_RC=$?
}

# start_xserver COMMAND...: an X server that picks a free display number (-displayfd);
# DISPLAY names it once it answers. -noreset: a server that resets whenever its last client
# leaves can refuse the next one meanwhile, and the program tested is often its only client.
start_xserver() {
    stop_pid XSERVER_PID
    local number="$E2E_TMP/display-number"
    rm -f "$number"
    "$@" -displayfd 3 -nolisten tcp -noreset 3>"$number" 2>"$E2E_TMP/xserver.log" &
    XSERVER_PID=$!
    wait_until 15 test -s "$number" || fail "$1 did not start: $(tail -n 5 "$E2E_TMP/xserver.log")"
    export DISPLAY=":$(head -n 1 "$number")"
    wait_until 10 xdpyinfo >/dev/null 2>&1 || fail "$1 on $DISPLAY does not answer"
}

# window NAME: the id of the visible window titled exactly NAME, if any.
window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
window_shown() { [ -n "$(window "$1")" ]; }

# wait_window SECONDS NAME: prints the window's id once it is visible. The id is the one the
# wait saw: Wine sets a window's name more than once as it maps it, and a second search in
# between finds nothing.
wait_window() {
    wait_until "$1" window_found "$2" || fail "no window \"$2\" within $1 s"
    echo "$WINDOW_ID"
}
window_found() { WINDOW_ID=$(window "$1") && [ -n "$WINDOW_ID" ]; }

# grab FILE: the whole screen as a PNG.
grab() { import -window root "$1"; }

# region_stat FILE GEOMETRY EXPR: an ImageMagick fx value over a region of FILE.
region_stat() {
    convert "$1" -crop "$2" +repage -format "%[fx:$3]" info:
}

# at_least A B: A >= B, for decimal numbers.
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }
