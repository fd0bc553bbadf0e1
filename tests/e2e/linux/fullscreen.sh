#!/usr/bin/env bash
# fullscreen 1: the error and exit code 255 where no 640x480 mode is listed; the demo where one
# is.
. "$(dirname "$0")/lib.sh"

seed "$ZELM_DATA" 1 1 0
export ZELM_NO_DIALOGS=1

step "a 1024x768 screen lists no 640x480 mode"
start_xvfb 1024x768
start_zelm
expect_exit 5 255
expect_stderr "Error: Didn't find good fullscreen mode"

step "a 640x480 screen: the demo runs and a key ends it"
start_xvfb 640x480
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 30 screen_lit || fail "no frame reached the screen"
xdotool key space
expect_exit 1 0
expect_stderr ""
xrandr | grep -q '640x480.*\*' || fail "the screen's mode was not kept"
echo "fullscreen: passed"
