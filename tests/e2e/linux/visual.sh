#!/usr/bin/env bash
# The GLX visual: a 16-bit screen runs the demo; an 8-bit screen offers no RGBA visual, which
# is the pixel-format failure: its message and exit code 1.
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
echo "visual: passed"
