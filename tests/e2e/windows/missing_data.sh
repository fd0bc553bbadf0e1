#!/usr/bin/env bash
# A data directory without the three images: an "Error loading texture" box for each, one after
# the other, the program ending with exit code 0 without drawing a frame. The first box waits
# for OK; the window is then destroyed, and the other two come while its quit is pending.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768
mkdir "$E2E_TMP/empty"
seed "$(windows_path "$E2E_TMP/empty")" 1 0 0
start_scr "$ZELM_SCR"
box=$(wait_window 20 Error)
[ "$(messages | wc -l)" -eq 1 ] || fail "first box: messages [$(messages)]"
grab "$E2E_TMP/screen.png"
meter_blank "$E2E_TMP/screen.png" || fail "a frame was drawn before the first box"
xdotool windowfocus "$box" 2>/dev/null || true
xdotool key Return
wait_until 10 window_gone "$box" || fail "the first box did not close"
dismiss_until_exit 20 Error
expect_exit 15 0
expect_messages "$(printf 'Error: Error loading texture\nError: Error loading texture\nError: Error loading texture')"
grab "$E2E_TMP/screen.png"
meter_blank "$E2E_TMP/screen.png" || fail "a frame was drawn"
echo "missing data: passed"
