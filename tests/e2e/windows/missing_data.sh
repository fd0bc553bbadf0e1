#!/usr/bin/env bash
# A data directory without the three images: one "Error loading texture" box for each, one
# after the other, then the program ends with exit code 0 without drawing a frame.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768
mkdir "$E2E_TMP/empty"
seed "$(windows_path "$E2E_TMP/empty")" 1 0 0
start_scr "$ZELM_SCR"
for n in 1 2 3; do
    box=$(wait_window 20 Error)
    [ "$(messages | wc -l)" -eq "$n" ] || fail "box $n: messages [$(messages)]"
    grab "$E2E_TMP/screen.png"
    meter_blank "$E2E_TMP/screen.png" || fail "a frame was drawn before box $n"
    xdotool windowfocus "$box" 2>/dev/null || true
    xdotool key Return
    wait_until 10 window_gone "$box" || fail "box $n did not close"
done
expect_exit 15 0
expect_messages "$(printf 'Error: Error loading texture\nError: Error loading texture\nError: Error loading texture')"
grab "$E2E_TMP/screen.png"
meter_blank "$E2E_TMP/screen.png" || fail "a frame was drawn"
echo "missing data: passed"
