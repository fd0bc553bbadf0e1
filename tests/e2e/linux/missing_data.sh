#!/usr/bin/env bash
# A data directory without the three files: three "Error loading texture" boxes one after the
# other, no frame, exit code 0.
. "$(dirname "$0")/lib.sh"

mkdir -p "$E2E_TMP/empty-data"
seed "$E2E_TMP/empty-data" 1 0 0
start_xvfb 640x480

step "without message boxes: three messages, each after the file it is about, and exit code 0"
ZELM_NO_DIALOGS=1 start_zelm
expect_exit 10 0
expect_stderr "zelm: \"$E2E_TMP/empty-data/particle.pcx\": No such file or directory
Error: Error loading texture
zelm: \"$E2E_TMP/empty-data/font.pcx\": No such file or directory
Error: Error loading texture
zelm: \"$E2E_TMP/empty-data/height.pcx\": No such file or directory
Error: Error loading texture"

# The box with id $1 is no longer the one shown.
box_closed() { [ "$(window Error)" != "$1" ]; }

step "with message boxes: each waits for the user, and no frame is ever shown"
start_zelm
for n in 1 2 3; do
    box=$(wait_window 15 Error)
    # The first message comes before the window is destroyed, the others after.
    if [ "$n" -gt 1 ] && window_shown Zelm; then fail "the demo window is back for message $n"; fi
    grab "$E2E_TMP/screen.png"
    # Everything but the box is black: the demo drew nothing.
    at_least 0.001 "$(region_stat "$E2E_TMP/screen.png" 640x240+0+240 maxima)" ||
        fail "something was drawn with message $n"
    press "$box" Return
    wait_until 5 box_closed "$box" || fail "message $n did not close"
done
expect_exit 5 0
[ "$(grep -c 'Error: Error loading texture' "$ZELM_ERR")" -eq 3 ] || fail "not three messages"
echo "missing data: passed"
