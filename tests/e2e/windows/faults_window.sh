#!/usr/bin/env bash
# The demo window's creation steps and the scene's set-up when a Win32 call or a texture fails,
# through the test build: each message with its caption, buttons, icon and owner, in order; the
# display mode put back before the message where that is due; the window destroyed (the run
# then ends with 0) or the process ended at once with 1, without the destruction steps.
. "$(dirname "$0")/wine_lib.sh"

switched="display: switched to 640x480x16"
restored="display: restored"
destroyed="window destroyed"
owned="[OK, error icon, owned by the demo window]"
plain="[OK, error icon, no owner]"

# expect_boxes CAPTION...: each box, by its window title, dismissed in turn.
expect_boxes() {
    for caption in "$@"; do dismiss 20 "$caption"; done
}

start_xvfb 640x480
seed "$(windows_path "$ZELM_DATA")" 1 1 0

step "full screen, no pixel format chosen: exit code 1 at once, the display left to Windows"
start_faulty ChoosePixelFormat
expect_boxes Error
expect_exit 10 1
expect_messages "$(lines "$switched" "Error: ChoosePixelFormat failed. $owned")"

step "full screen, pixel format not set: exit code 1 at once"
start_faulty SetPixelFormat
expect_boxes Error
expect_exit 10 1
expect_messages "$(lines "$switched" "Error: SetPixelFormat failed. $owned")"

step "full screen, the format needs a palette: two boxes, the window destroyed, exit code 0"
start_faulty DescribePixelFormat
expect_boxes Error Error:
expect_exit 15 0
expect_messages "$(lines "$switched" "Error: Needs palette [OK, no icon, no owner]" \
    "Error:: Couldn't setup pixelformat $plain" "$destroyed" "$restored")"

context="Couldn't create gl context\\nClose display properties?\\nTry unsetting fullscreen?"
step "full screen, no rendering context: the display restored before the box"
start_faulty wglCreateContext
expect_boxes Error:
expect_exit 15 0
expect_messages "$(lines "$switched" "$restored" "Error:: $context $plain" "$destroyed" "$restored")"

step "full screen, context not made current: the display restored before the box"
start_faulty wglMakeCurrent
expect_boxes Error:
expect_exit 15 0
expect_messages "$(lines "$switched" "$restored" "Error:: Couldn't wglMakeCurrent() $plain" \
    "$destroyed" "$restored")"

step "full screen, no 1 ms timer period: the box owned by the window, no restore before it"
start_faulty timeBeginPeriod
expect_boxes Error
expect_exit 15 0
expect_messages "$(lines "$switched" \
    "Error: Can't set timer resolution to 1 millisecond $owned" "$destroyed" "$restored")"

step "full screen, no textures: each failure restores the display before its box, no owner"
mkdir "$E2E_TMP/empty"
seed "$(windows_path "$E2E_TMP/empty")" 1 1 0
start_faulty ""
expect_boxes Error
dismiss_until_exit 20 Error
expect_exit 15 0
texture="Error: Error loading texture $plain"
expect_messages "$(lines "$switched" "$restored" "$texture" "$destroyed" "$restored" \
    "$restored" "$texture" "$restored" "$texture")"

step "in a window, no rendering context: the display mode is never touched"
start_xvfb 1024x768
seed "$(windows_path "$ZELM_DATA")" 1 0 0
start_faulty wglCreateContext
expect_boxes Error:
expect_exit 15 0
expect_messages "$(lines "Error:: $context $plain" "$destroyed")"
echo "faults in the window's creation: passed"
