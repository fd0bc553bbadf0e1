#!/usr/bin/env bash
# The hack's window vanishing while zelm starts or draws, as happens when the daemon or a preview
# goes away: destroyed by another client, or gone with its killed owner, at any moment of a frame
# and with the processor busy. zelm ends with 0, promptly and quietly, every time. And the
# signals that end a hack end it even when the parent started it with them blocked.
. "$(dirname "$0")/hack_lib.sh"

RUNS=${ZELM_VANISH_RUNS:-12}
start_xvfb 640x480
seed "$ZELM_DATA" 1 0 0

busy() { while :; do :; done; }
busy &
BUSY_PID=$!
trap 'kill $BUSY_PID 2>/dev/null || true; hack_cleanup' EXIT

# zelm has taken the window's structure events: its context is made and it is about to draw.
watching() { (("$("$ZELM_HACK_HOST" events "$HOST_WIN")" & 0x20000)); }
# zelm has found the window and is making its context: Mesa's GLX is loaded.
binding() { grep -qs libGLX_mesa "/proc/$ZELM_PID/maps"; }

step "the window destroyed while zelm makes its context: exit code 0 and nothing said, $RUNS times"
for ((i = 1; i <= RUNS; i++)); do
    start_host 320 240 gl
    start_hack -window-id "$HOST_WIN"
    deadline=$((SECONDS + 20))
    until binding; do ((SECONDS < deadline)) || fail "run $i: zelm never made a context"; done
    sleep "0.0$((i % 4 * 3))"  # at once, or up to 90 ms later
    "$ZELM_HACK_HOST" destroy "$HOST_WIN"
    stop_host
    wait_zelm 5
    [ "$ZELM_RC" -eq 0 ] || fail "run $i: exit code $ZELM_RC"
    expect_stderr ""
done

for how in destroy kill; do
    step "the window $how: exit code 0 and nothing said, $RUNS times"
    for ((i = 1; i <= RUNS; i++)); do
        start_host 320 240 gl
        start_hack -window-id "$HOST_WIN"
        wait_until 20 watching || fail "run $i: zelm never took the window"
        sleep "0.$((RANDOM % 400))"
        if [ "$how" = destroy ]; then
            "$ZELM_HACK_HOST" destroy "$HOST_WIN"
        fi
        stop_host
        wait_zelm 5
        [ "$ZELM_RC" -eq 0 ] || fail "run $i ($how): exit code $ZELM_RC"
        expect_stderr ""
    done
done

kill "$BUSY_PID"
step "a 10 s --delay: the owner's death still ends zelm within a second"
start_host 320 240 gl
start_hack -window-id "$HOST_WIN" --delay 10000000
wait_until 20 watching || fail "zelm never took the window"
sleep 1
stop_host
wait_zelm 1
[ "$ZELM_RC" -eq 0 ] || fail "exit code $ZELM_RC"

step "SIGTERM, SIGINT and SIGHUP blocked by the parent: SIGTERM still ends zelm at once"
blocked="$E2E_TMP/blocked"
cat >"$blocked" <<SCRIPT
#!/usr/bin/env python3
import os, signal, sys
signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT, signal.SIGHUP])
os.execv("$ZELM", ["$ZELM"] + sys.argv[1:])
SCRIPT
chmod +x "$blocked"
ZELM="$blocked" start_hack -root
wait_lit 640x8+0+472 "no credit line on the root window"
stop_hack
echo "hack vanish: passed"
