#!/usr/bin/env bash
# The GLX visual and context: a 16-bit screen runs the demo; an 8-bit screen offers no RGBA
# visual, which is the pixel-format failure (its message, exit code 1); a context the server
# refuses (indirect GLX, off in Xvfb) is reported, the window goes, no frame, exit code 0.
. "$(dirname "$0")/lib.sh"

seed "$ZELM_DATA" 1 0 0
export ZELM_NO_DIALOGS=1

step "a 16-bit screen: the demo runs and a key ends it"
start_xvfb 640x480x16
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 30 screen_lit || fail "no frame reached the screen"
xdotool key space
expect_exit 1 0
expect_stderr ""

step "an 8-bit screen: ChoosePixelFormat failed, exit code 1"
start_xvfb 640x480x8
start_zelm
expect_exit 10 1
expect_stderr "Error: ChoosePixelFormat failed."

step "no GL context: the message, the window gone, exit code 0"
start_xvfb 640x480
LIBGL_ALWAYS_INDIRECT=1 start_zelm
expect_exit 10 0
grep -qzF "Error:: Couldn't create gl context
Close display properties?
Try unsetting fullscreen?" "$ZELM_ERR" || fail "no context message"
grep -q "Error loading texture" "$ZELM_ERR" && fail "the textures did not load without a context"
at_least 0.001 "$(grab "$E2E_TMP/s.png" && region_stat "$E2E_TMP/s.png" 640x480+0+0 maxima)" ||
    fail "something was drawn"
echo "visual: passed"
