#!/usr/bin/env bash
# Only "/p" and "/c", in lower case and at the very start, are switches: "/P", "/C", "-c", "/s"
# and an empty command line all run the demo.
. "$(dirname "$0")/wine_lib.sh"

start_xvfb 1024x768
seed "$(windows_path "$ZELM_DATA")" 1 0 0
for arg in /P /C -c /s ""; do
    step "command line [$arg]: the demo"
    if [ -n "$arg" ]; then start_scr "$ZELM_SCR" "$arg"; else start_scr "$ZELM_SCR"; fi
    wait_window 20 Zelm >/dev/null
    wait_scene 20
    window_shown "SOLUNE Configuration Dialog" && fail "the dialog came up"
    xdotool key space
    expect_exit 15 0
    expect_messages ""
done
echo "run modes: passed"
