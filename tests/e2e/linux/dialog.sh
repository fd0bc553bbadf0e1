#!/usr/bin/env bash
# The configuration dialog: forced by an empty store, shown by "/c"; Cancel, the close box and
# the keys the dialog has no meaning for store nothing; OK stores all four settings.
. "$(dirname "$0")/lib.sh"

caption="SOLUNE Configuration Dialog"
# Control centres in pixels (dialog units x 1.5 horizontally, x 1.625 vertically).
ok=(411 20)
cancel=(411 53)
edit=(172 45)
heightfield=(30 93)
alt_blend=(30 118)
fullscreen=(30 142)

step "no display: said so, exit code 1"
seed . 1 0 0
(unset DISPLAY; "$ZELM" /c 2>"$ZELM_ERR") && fail "exit code 0 without a display"
expect_stderr "Error: Couldn't open the X display"
rm -rf "$KEY"

start_xvfb 800x600

step "empty store: the warning box, then the dialog"
start_zelm
box=$(wait_window 10 Warning)
window_shown "$caption" && fail "the dialog came before the warning was dismissed"
press "$box" Return
dialog=$(wait_window 10 "$caption")
before=$(store_listing)
[ -d "$KEY" ] && [ -z "$(ls -A "$KEY")" ] || fail "the first run should leave the key empty"

step "Tab, Enter and Escape mean nothing to the dialog"
click "$dialog" "${edit[@]}"
xdotool key --delay 20 End BackSpace slash t m p Tab Return Escape KP_Enter
sleep 0.3  # nothing is expected to happen: give it the time it would need
zelm_running || fail "a key closed the dialog"
window_shown "$caption" || fail "the dialog is gone"
[ "$(store_listing)" = "$before" ] || fail "keys changed the store"

step "Cancel: nothing stored, exit code 0"
click "$dialog" "${cancel[@]}"
expect_exit 5 0
[ "$(store_listing)" = "$before" ] || fail "Cancel changed the store"
expect_stderr "Warning: Couldn't read configuration settings from registry."

step "the close box: nothing stored, exit code 0"
ZELM_NO_DIALOGS=1 start_zelm
dialog=$(wait_window 10 "$caption")
click "$dialog" "${fullscreen[@]}"
"$ZELM_SEND_CLOSE" "$dialog"
expect_exit 5 0
[ "$(store_listing)" = "$before" ] || fail "the close box changed the store"

step "OK after toggling a check box stores all four values"
ZELM_NO_DIALOGS=1 start_zelm
dialog=$(wait_window 10 "$caption")
click "$dialog" "${alt_blend[@]}"
click "$dialog" "${ok[@]}"
expect_exit 5 0
[ "$(cat "$KEY/datadir")" = "." ] || fail "datadir: $(cat "$KEY/datadir")"
[ "$(cat "$KEY/use_heightfield")" = "1" ] || fail "use_heightfield: $(cat "$KEY/use_heightfield")"
[ "$(cat "$KEY/use_alt_blend")" = "1" ] || fail "use_alt_blend: $(cat "$KEY/use_alt_blend")"
[ "$(cat "$KEY/fullscreen")" = "0" ] || fail "fullscreen: $(cat "$KEY/fullscreen")"
expect_stderr "Warning: Couldn't read configuration settings from registry."

step "--x11 before /c: the dialog all the same"
start_zelm --x11 /c
click "$(wait_window 10 "$caption")" "${cancel[@]}"
expect_exit 5 0

step "/c shows the stored settings; a switch of 7 is checked and stored as 1"
printf '7\n' >"$KEY/fullscreen"
start_zelm /c
dialog=$(wait_window 10 "$caption")
click "$dialog" "${edit[@]}"
xdotool key ctrl+a
xdotool type --delay 10 "/srv/zelm data"
click "$dialog" "${heightfield[@]}"
click "$dialog" "${ok[@]}"
expect_exit 5 0
expect_stderr ""
[ "$(cat "$KEY/datadir")" = "/srv/zelm data" ] || fail "datadir: $(cat "$KEY/datadir")"
[ "$(cat "$KEY/use_heightfield")" = "0" ] || fail "use_heightfield: $(cat "$KEY/use_heightfield")"
[ "$(cat "$KEY/use_alt_blend")" = "1" ] || fail "use_alt_blend: $(cat "$KEY/use_alt_blend")"
[ "$(cat "$KEY/fullscreen")" = "1" ] || fail "fullscreen: $(cat "$KEY/fullscreen")"
[ -z "$(find "$KEY" -name '.*')" ] || fail "temporary files left in the store"
echo "dialog: passed"
