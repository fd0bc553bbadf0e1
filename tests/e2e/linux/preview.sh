#!/usr/bin/env bash
# "zelm /p" ends at once with exit code 0 and opens no window; unreadable settings still bring
# their warning first.
. "$(dirname "$0")/lib.sh"

warning="Warning: Couldn't read configuration settings from registry."

step "readable settings, no display at all: nothing is opened, nothing is said"
seed "$ZELM_DATA" 1 0 0
for args in "/p" "/p 12345" "/pfoo"; do
    (unset DISPLAY; "$ZELM" $args 2>"$ZELM_ERR") || fail "zelm $args: exit code $?"
    expect_stderr ""
done

step "unreadable settings: the warning, then exit code 0"
rm -rf "$XDG_CONFIG_HOME"
echo "not a directory" >"$XDG_CONFIG_HOME"  # the key can be neither opened nor created
(unset DISPLAY; ZELM_NO_DIALOGS=1 "$ZELM" /p 2>"$ZELM_ERR") || fail "exit code $?"
expect_stderr "$warning"

step "unreadable settings on a display: the warning box waits, then no dialog follows"
start_xvfb 640x480
start_zelm /p
box=$(wait_window 10 Warning)
zelm_running || fail "zelm ended before its warning was dismissed"
press "$box" Return
expect_exit 5 0
window_shown "SOLUNE Configuration Dialog" && fail "the dialog came up in preview"
expect_stderr "$warning"
echo "preview: passed"
