#!/usr/bin/env bash
# "/p" ends at once with exit code 0; unreadable settings bring their warning first, and no
# dialog follows.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768

step "readable settings: /p and /pxyz end at once, saying nothing"
seed "$(windows_path "$ZELM_DATA")" 1 0 0
for arg in /p /pxyz; do
    start_scr "$ZELM_SCR" "$arg"
    expect_exit 15 0
    expect_messages ""
done

step "an empty registry: the warning box comes first, then exit code 0 without a dialog"
clear_settings
start_scr "$ZELM_SCR" /p
dismiss 15 Warning
expect_exit 10 0
expect_messages "Warning: Couldn't read configuration settings from registry."
window_shown "SOLUNE Configuration Dialog" && fail "the dialog came up in preview"
echo "preview: passed"
