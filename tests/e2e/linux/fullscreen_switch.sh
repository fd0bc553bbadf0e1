#!/usr/bin/env bash
# fullscreen 1 on a 1024x768 output that also lists 640x480: the output shows 640x480 while the
# demo runs and 1024x768 again after it, however the demo ended: a key, SIGTERM, exit(-1), a
# broken X connection, a crash, SIGKILL (at the moment of the switch too, and after its watcher
# was killed), and two demos that overlap. Xvfb cannot switch
# modes, so this runs Xorg with its dummy driver; without them, or without root (which Xorg
# needs for a configuration file of our own), it is skipped.
. "$(dirname "$0")/lib.sh"

dummy_driver=/usr/lib/xorg/modules/drivers/dummy_drv.so
if ! command -v Xorg >/dev/null || [ ! -e "$dummy_driver" ] || [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root, Xorg and its dummy driver (xserver-xorg-video-dummy)"
    exit 77
fi

seed "$ZELM_DATA" 1 1 0
export ZELM_NO_DIALOGS=1
start_xserver Xorg -config "$(dirname "$0")/xorg-dummy.conf" -logfile "$E2E_TMP/xorg.log" \
    -sharevts -novtswitch -keeptty

current_mode() { xrandr | awk '/\*/ { print $1; exit }'; }
mode_is() { [ "$(current_mode)" = "$1" ]; }
[ "$(current_mode)" = 1024x768 ] || fail "the dummy output starts in $(current_mode)"

for ending in key SIGTERM; do
    step "switched to 640x480 while the demo runs, put back after a $ending"
    start_zelm
    wait_window 30 Zelm >/dev/null
    wait_until 10 mode_is 640x480 || fail "the output shows $(current_mode)"
    if [ "$ending" = key ]; then xdotool key space; else kill -TERM "$ZELM_PID"; fi
    expect_exit 2 0
    expect_stderr ""
    mode_is 1024x768 || fail "the output was left in $(current_mode)"
done

step "exit(-1) when memory runs out in the scene: the mode is put back"
if [ -n "${ZELM_FAIL_CALLOC:-}" ]; then
    LD_PRELOAD=$ZELM_FAIL_CALLOC ZELM_FAIL_CALLOC_AFTER_MS=1500 start_zelm
    wait_window 30 Zelm >/dev/null
    expect_exit 10 255
    mode_is 1024x768 || fail "the output was left in $(current_mode)"
else
    echo "(skipped: the sanitizers replace calloc themselves)"
fi

step "the X connection is cut (xkill): the watcher puts the mode back"
start_zelm
wait_until 10 mode_is 640x480 || fail "the output shows $(current_mode)"
xkill -id "$(wait_window 30 Zelm)" >/dev/null
expect_exit 5 1
expect_stderr "zelm: Lost the connection to the X display"
mode_is 1024x768 || fail "the output was left in $(current_mode)"

for signal in SEGV KILL; do
    step "SIG$signal: the watcher puts the mode back within 2 s"
    start_zelm
    wait_window 30 Zelm >/dev/null
    wait_until 10 mode_is 640x480 || fail "the output shows $(current_mode)"
    kill -"$signal" "$ZELM_PID"
    expect_exit 5 $((128 + $(kill -l "$signal")))
    wait_until 2 mode_is 1024x768 || fail "the output was left in $(current_mode)"
    xprop -root | grep -q _ZELM_SAVED_CRTC && fail "the record of the original mode was left"
done

step "SIGKILL the moment the server reports the switch, five times: the mode is back within 3 s"
for try in 1 2 3 4 5; do
    "$ZELM_KILL_ON_RANDR" "$ZELM" 2>"$ZELM_ERR" || fail "try $try: the switch was not seen"
    wait_until 3 mode_is 1024x768 || fail "try $try: the output was left in $(current_mode)"
    xprop -root | grep -q _ZELM_SAVED_CRTC && fail "try $try: the record of the mode was left"
done

step "the watcher killed: the demo starts another, which puts the mode back after a SIGKILL"
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 10 mode_is 640x480 || fail "the output shows $(current_mode)"
first=$(pgrep -P "$ZELM_PID") || fail "no watcher"
kill -KILL "$first"
another_watcher() { local now; now=$(pgrep -P "$ZELM_PID") && [ "$now" != "$first" ]; }
wait_until 5 another_watcher || fail "no other watcher"
kill -KILL "$ZELM_PID"
expect_exit 5 137
wait_until 3 mode_is 1024x768 || fail "the output was left in $(current_mode)"

step "the OpenGL driver crashes for want of memory (ulimit -v 250000): the mode comes back"
if [ -n "${ZELM_FAIL_CALLOC:-}" ]; then
    limited="$E2E_TMP/limited"
    printf '#!/bin/sh\nulimit -v 250000\nexec "%s" "$@"\n' "$ZELM" >"$limited"
    chmod +x "$limited"
    ZELM="$limited" start_zelm
    wait_until 10 zelm_ended || xdotool key space  # a driver that fits after all
    wait_zelm 5
    wait_until 2 mode_is 1024x768 || fail "the output was left in $(current_mode)"
else
    echo "(skipped: the sanitizers need more address space)"
fi

step "a second demo started while the first one runs: the original mode comes back"
# The second takes the focus, which ends the first: the output stays at 640x480 while the
# second runs, and the second puts back 1024x768, not the first one's 640x480.
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 10 mode_is 640x480 || fail "the output shows $(current_mode)"
"$ZELM" 2>"$E2E_TMP/second-stderr" &
second=$!
expect_exit 10 0
ZELM_ERR="$E2E_TMP/second-stderr"
ZELM_PID=$second
wait_until 10 mode_is 640x480 || fail "the second demo shows $(current_mode)"
kill -TERM "$ZELM_PID"
expect_exit 5 0
expect_stderr ""
mode_is 1024x768 || fail "the second demo left $(current_mode)"
xprop -root | grep -q _ZELM_SAVED_CRTC && fail "the record of the original mode was left"

step "a data directory without the files: the mode is put back before the first message"
seed "$E2E_TMP/nothing-here" 1 1 0
start_zelm
expect_exit 10 0
mode_is 1024x768 || fail "the output was left in $(current_mode)"
[ "$(grep -c 'Error: Error loading texture' "$ZELM_ERR")" -eq 3 ] || fail "not three messages"
echo "fullscreen switch: passed"
