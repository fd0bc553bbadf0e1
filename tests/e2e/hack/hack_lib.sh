# Helpers for the hack tests on top of the Linux end-to-end helpers: a window made by
# hack_host, standing in for the screen-saver daemon's. Needs ZELM, ZELM_DATA, ZELM_HACK_HOST.
. "$(dirname "$0")/../linux/lib.sh"

HOST_PID=
HOST_WIN=

hack_cleanup() {
    stop_host
    e2e_cleanup
}
trap hack_cleanup EXIT

# start_host WIDTH HEIGHT [gl|nogl]: a window at (0, 0); HOST_WIN is its id. Returns 77 when
# the display has no visual of the kind asked for.
start_host() {
    stop_host
    local out="$E2E_TMP/host-id"
    : >"$out"
    "$ZELM_HACK_HOST" window "$@" >"$out" 2>"$E2E_TMP/host-err" &
    HOST_PID=$!
    if ! wait_until 10 test -s "$out"; then
        local rc=0
        kill -0 "$HOST_PID" 2>/dev/null || wait "$HOST_PID" || rc=$?
        HOST_PID=
        [ "$rc" -eq 77 ] && return 77
        fail "hack_host made no window: $(cat "$E2E_TMP/host-err")"
    fi
    HOST_WIN=$(cat "$out")
}

stop_host() { stop_pid HOST_PID; }

# start_hack ARGS...: zelm from the data directory, so that an empty store still finds the
# data files in its default data directory ".".
start_hack() {
    pushd "$ZELM_DATA" >/dev/null
    start_zelm "$@"
    popd >/dev/null
}

# lit GEOMETRY: some pixel of that part of the screen is lit.
lit() {
    grab "$E2E_TMP/lit.png" 2>/dev/null &&
        at_least "$(region_stat "$E2E_TMP/lit.png" "$1" maxima)" 0.2
}

lit_or_ended() { zelm_ended || lit "$1"; }

# wait_lit GEOMETRY WHAT: fails unless a frame reaches that part of the screen within 30 s.
wait_lit() {
    wait_until 30 lit_or_ended "$1" || fail "no frame in $1: $2"
    zelm_running || fail "zelm ended before a frame reached $1: $2"
}

# dark FILE GEOMETRY: no pixel of that part of FILE is lit.
dark() { at_least 0.05 "$(region_stat "$1" "$2" maxima)"; }

# stop_hack: a SIGTERM ends zelm within 3 s, and by that signal (it takes a few milliseconds on
# an idle machine; the limit leaves room for a loaded one).
stop_hack() {
    local start=${EPOCHREALTIME/[.,]/}
    local took=0
    kill -TERM "$ZELM_PID"
    while zelm_running; do
        took=$(((${EPOCHREALTIME/[.,]/} - start) / 1000))
        ((took < 3000)) || fail "zelm still running 3 s after SIGTERM"
        sleep 0.005
    done
    took=$(((${EPOCHREALTIME/[.,]/} - start) / 1000))
    wait_zelm 1
    [ "$ZELM_RC" -eq 143 ] || fail "exit code $ZELM_RC after SIGTERM, expected the signal (143)"
    echo "   ended $took ms after SIGTERM"
}

# root_children: the ids of the top-level windows, to show that zelm opened none.
root_children() { xwininfo -root -children | awk '/^ +0x/ {print $1}' | sort; }
