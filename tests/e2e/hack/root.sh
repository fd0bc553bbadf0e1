#!/usr/bin/env bash
# zelm -root: the scene over the whole root window, at the screen's size; with
# $XSCREENSAVER_WINDOW set, in that window instead. A SIGTERM ends it at once and leaves the
# screen's size and mode as they were.
. "$(dirname "$0")/hack_lib.sh"

start_xserver Xvfb -screen 0 800x600x24 -br
seed "$ZELM_DATA" 1 1 0  # fullscreen on: a hack must not switch the mode all the same

step "-root draws over the whole root window"
screen=$(xdpyinfo | grep dimensions)
modes=$(xrandr 2>/dev/null || true)
before=$(root_children)
start_zelm -root -fps
wait_lit 800x8+0+592 "no credit line at the bottom of the screen"
f="$E2E_TMP/root.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/hack-root.png"
at_least "$(region_stat "$f" 800x8+0+0 maxima)" 0.3 || fail "no frame-rate meter at the top"
at_least "$(region_stat "$f" 200x100+0+450 mean)" 0.04 || fail "no mesh in the lower left"
at_least "$(region_stat "$f" 200x100+600+450 mean)" 0.04 || fail "no mesh in the lower right"
[ "$(root_children)" = "$before" ] || fail "zelm opened a window of its own"
[ "$(xdpyinfo | grep dimensions)" = "$screen" ] || fail "the screen changed"

step "a key press ends nothing"
xdotool key x
sleep 0.3
zelm_running || fail "a key press ended the hack"

step "SIGTERM ends it at once; the screen's size and mode are as they were"
stop_hack
[ "$(xdpyinfo | grep dimensions)" = "$screen" ] || fail "the screen changed"
[ "$(xrandr 2>/dev/null || true)" = "$modes" ] || fail "the display mode changed"
expect_stderr ""

step "--root with \$XSCREENSAVER_WINDOW draws into that window, not on the root"
xrefresh -solid black  # wipe the last frame from the root window
start_host 320 240
export XSCREENSAVER_WINDOW=$HOST_WIN
start_zelm --root
wait_lit 320x8+0+232 "no credit line at the bottom of \$XSCREENSAVER_WINDOW"
f="$E2E_TMP/variable.png"
grab "$f"
dark "$f" 480x600+320+0 || fail "pixels lit right of the window"
dark "$f" 320x360+0+240 || fail "pixels lit below the window"
stop_hack
expect_stderr ""
echo "hack root: passed"
