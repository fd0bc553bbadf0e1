#!/usr/bin/env bash
# The demo window: it shows the scene, and a key press, a click, or the third mouse move ends
# it with exit code 0.
. "$(dirname "$0")/lib.sh"

seed "$ZELM_DATA" 1 0 0
export ZELM_NO_DIALOGS=1

step "neither an X display nor a Wayland compositor (none named, a dead one): both said, exit 1"
# The socket a compositor that died left behind: nobody listens on it.
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$E2E_TMP/wayland-9"
for wayland in "" "$E2E_TMP/wayland-9"; do
    (unset DISPLAY; WAYLAND_DISPLAY=$wayland "$ZELM" 2>"$ZELM_ERR") && fail "exit code 0"
    expect_stderr "Error: Couldn't open the X display
zelm: couldn't connect to a Wayland compositor: WAYLAND_DISPLAY is unset or names none that runs"
done

start_xvfb 640x480

# Starts the demo and waits until a frame is on the screen.
start_demo() {
    start_zelm
    wait_window 30 Zelm >/dev/null
    wait_until 30 screen_lit || fail "no frame reached the screen"
}

step "a borderless 640x480 window at (0, 0) shows the scene"
start_demo
info=$(xwininfo -id "$(window Zelm)")
for line in "Absolute upper-left X:  0" "Absolute upper-left Y:  0" "Width: 640" "Height: 480" \
    "Override Redirect State: yes"; do
    grep -qF "$line" <<<"$info" || fail "the window is not as expected: no \"$line\" in $info"
done
sleep 1  # let the bumps settle a little and the spiral fill
f="$E2E_TMP/frame.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/demo-frame.png"
at_least "$(region_stat "$f" 640x8+0+0 maxima)" 0.3 || fail "no frame-rate meter at the top"
at_least "$(region_stat "$f" 640x8+0+472 maxima)" 0.3 || fail "no credit line at the bottom"
at_least 0.02 "$(region_stat "$f" 640x100+0+40 mean)" || fail "the sky is not dark"
at_least "$(region_stat "$f" 640x140+0+320 mean)" 0.04 || fail "no mesh in the lower part"
at_least "$(region_stat "$f" 640x140+0+320 'mean.b-mean.r')" 0.03 || fail "the mesh is not blue"

step "a key press after the first frame ends the demo within a second"
xdotool key x
expect_exit 1 0
expect_stderr ""
window_shown Zelm && fail "the window is still shown"

step "a click after the first frame ends the demo within a second"
start_demo
xdotool click 1
expect_exit 1 0

step "the wheel is no click"
start_demo
xdotool click 4 click 5
sleep 0.3
zelm_running || fail "the wheel ended the demo"

step "the first two mouse moves are absorbed, the third ends the demo"
xdotool mousemove 100 100
sleep 0.3
zelm_running || fail "the first mouse move ended the demo"
xdotool mousemove 200 150
sleep 0.3
zelm_running || fail "the second mouse move ended the demo"
xdotool mousemove 300 200
expect_exit 1 0
expect_stderr ""

step "without the heightfield the particles show alone; SIGTERM ends the demo cleanly"
seed "$ZELM_DATA" 0 0 0
start_demo
sleep 0.5
f="$E2E_TMP/particles.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/demo-particles.png"
lit=$(convert "$f" -crop 320x280+160+100 +repage -colorspace gray -threshold 12% \
    -format '%[fx:mean*w*h]' info:)
at_least "$lit" 30 || fail "only $lit lit pixels of particles around the centre"
at_least 0.02 "$(region_stat "$f" 640x140+0+330 mean)" || fail "a mesh is drawn"
kill -TERM "$ZELM_PID"
expect_exit 1 0
window_shown Zelm && fail "the window is still shown"
echo "demo: passed"
