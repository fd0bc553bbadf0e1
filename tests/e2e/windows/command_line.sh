#!/usr/bin/env bash
# The switches are read after the program's name as Windows writes it into the command line: a
# quoted name ends at its closing quote, whatever follows; any other name ends at the first
# blank, quotes and bytes of 128 and above included. zelm-launch passes each line byte for byte.
. "$(dirname "$0")/wine_lib.sh"
[ -f "$ZELM_LAUNCH" ] || fail "$ZELM_LAUNCH is missing: build the windows preset first"

start_xvfb 1024x768
seed "$(windows_path "$ZELM_DATA")" 1 0 0
scr=$(windows_path "$ZELM_SCR")

# expect_dialog: the configuration dialog, not the demo; its close box ends the program with 0.
expect_dialog() {
    local dialog
    dialog=$(wait_window 20 "SOLUNE Configuration Dialog")
    window_shown Zelm && fail "the demo ran"
    xdotool windowfocus "$dialog" 2>/dev/null || true
    xdotool key alt+F4
    expect_exit 10 0
}

step "\"name\"/c, no blank after the quoted name: the dialog"
start_scr "$ZELM_LAUNCH" "$scr" "\"$scr\"/c"
expect_dialog

step "an unquoted name with a quoted blank in it, then /c: the name ends at the blank, the demo"
start_scr "$ZELM_LAUNCH" "$scr" 'Z:\a"b c"\zelm.scr /c'
wait_window 20 Zelm >/dev/null
wait_scene 20  # a key before the first frame is swallowed
window_shown "SOLUNE Configuration Dialog" && fail "the dialog came up"
xdotool key space
expect_exit 15 0

step "an unquoted name with a byte of 128 or more, then a tab and /c: the dialog"
start_scr "$ZELM_LAUNCH" "$scr" $'Z:\\x\\z\u00e9lm.scr\t/c'
expect_dialog
echo "command line: passed"
