#!/usr/bin/env bash
# The demo with settings in the registry: a 640 x 480 window at the top left that shows the
# scene and keeps animating it, until a key, a mouse button or the mouse moving ends it.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768
seed "$(windows_path "$ZELM_DATA")" 1 0 0

step "the scene is drawn and animated; a key press ends the demo with exit code 0"
start_scr "$ZELM_SCR" /s
demo=$(wait_window 20 Zelm)
eval "$(xdotool getwindowgeometry --shell "$demo")"
[ "$X,$Y,$WIDTH,$HEIGHT" = "0,0,640,480" ] || fail "window at $X,$Y size ${WIDTH}x$HEIGHT"
wait_scene 20
cp "$E2E_TMP/frame.png" "$E2E_TMP/first.png"
sleep 1
grab "$E2E_TMP/second.png"
changed=$(compare -metric AE "$E2E_TMP/first.png" "$E2E_TMP/second.png" null: 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || fail "the picture did not change: $changed pixels"
xdotool key space
expect_exit 15 0
expect_messages ""
window_shown Zelm && fail "the window is still shown"

step "a mouse click ends it"
start_scr "$ZELM_SCR"
wait_window 20 Zelm >/dev/null
wait_scene 20
xdotool click 1
expect_exit 15 0

step "moving the mouse ends it once the few moves it absorbs are used up"
start_scr "$ZELM_SCR"
wait_window 20 Zelm >/dev/null
wait_scene 20
for move in $(seq 20); do
    xdotool mousemove $((100 + move * 10)) $((100 + move * 5))
    if wait_until 1 scr_ended; then break; fi
done
[ "$move" -gt 1 ] || fail "the first mouse move ended the demo"
expect_exit 10 0
echo "demo: passed"
