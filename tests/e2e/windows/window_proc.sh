#!/usr/bin/env bash
# The demo window's procedure, row by row, against the live window: the test build sends each
# message to it (ZELM_PROBE) and reports the result, whether default processing ran and whether
# the window is gone. Also what creation leaves behind: the cursor centred and hidden, the
# display mode untouched in a window, FX_GLIDE_NOSPLASH set to 1 for the process.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768
seed "$(windows_path "$ZELM_DATA")" 1 0 0

step "before the first frame: input swallowed, the table's results, the tolerance counts"
FX_GLIDE_NOSPLASH=0 ZELM_PROBE=creation start_faulty ""
expect_exit 20 0
got=$(messages)
# ShowWindow's position change during creation adds to the 2 the creation steps leave.
changes=$(sed -n 's/^tolerance \([0-9]*\) after \([0-9]*\) position changes$/\2/p' <<<"$got")
[ -n "$changes" ] || fail "no tolerance reported: [$got]"
before=$((2 + changes))
expected=$(
    lines "cursor at 320,240, hidden" "FX_GLIDE_NOSPLASH=1" \
        "probe WM_ACTIVATE active: 1" \
        "probe WM_ACTIVATE inactive: 0" \
        "probe WM_KEYDOWN: 0" \
        "probe WM_LBUTTONDOWN: 0" \
        "probe WM_RBUTTONDOWN: 0" \
        "probe WM_MBUTTONDOWN: 0" \
        "probe WM_KEYUP: 0, default processing" \
        "probe WM_LBUTTONUP: 0, default processing" \
        "probe WM_LBUTTONDBLCLK: 0, default processing" \
        "probe WM_SYSCOMMAND SC_SCREENSAVE: 0" \
        "probe WM_SYSCOMMAND SC_ARRANGE: 0, default processing" \
        "probe WM_SETCURSOR: 0" \
        "probe WM_USER: 0, default processing" \
        "probe WM_PAINT scene not ready: 0, still invalid" \
        "probe WM_PAINT scene ready: 0, validated" \
        "tolerance $before after $changes position changes" \
        "probe WM_WINDOWPOSCHANGING: 0, default processing" \
        "tolerance $((before + 1))"
    for _ in $(seq $((before + 1))); do echo "probe WM_MOUSEMOVE: 0, default processing"; done
    lines "window destroyed" "probe WM_MOUSEMOVE: 0, window destroyed"
)
[ "$got" = "$expected" ] || fail "probe said [$got], expected [$expected]"

for input in key:WM_KEYDOWN lbutton:WM_LBUTTONDOWN rbutton:WM_RBUTTONDOWN \
    mbutton:WM_MBUTTONDOWN "deactivate:WM_ACTIVATE inactive"; do
    step "after the first frame: ${input#*:} ends the demo, activation does nothing"
    ZELM_PROBE="frame:${input%%:*}" start_faulty ""
    expect_exit 20 0
    expect_messages "$(lines "probe WM_ACTIVATE active: 1" "window destroyed" \
        "probe ${input#*:}: 0, window destroyed")"
done
echo "window procedure: passed"
