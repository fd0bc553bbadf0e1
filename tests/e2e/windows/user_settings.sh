#!/usr/bin/env bash
# A standard user's settings: where the machine-wide key refuses a value, as Windows does for a
# program that is not elevated, OK stores it under HKEY_CURRENT_USER without a word, and the
# next start reads it from there over the machine-wide one.
. "$(dirname "$0")/wine_lib.sh"

USER_KEY='HKCU\Software\Varno\ZELM'
data=$(windows_path "$ZELM_DATA")

# show_keys WHEN: both keys as reg lists them, for the log.
show_keys() {
    step "the registry $1:"
    for key in "$KEY" "$USER_KEY"; do
        WINEDEBUG=-all wine reg query "$key" /s 2>/dev/null | tr -d '\r' | grep -E '^(HKEY| )' || echo "$key: none"
    done
}

start_xvfb 1024x768
mkdir "$E2E_TMP/empty"

step "machine-wide writes refused: OK stores every value for the user, with no message"
seed "$(windows_path "$E2E_TMP/empty")" 1 0 0
show_keys "before OK"
start_faulty RegSetValueA/HKLM /c
dialog=$(wait_window 15 "SOLUNE Configuration Dialog")
click_at "$dialog" 200 27  # the data directory's edit field
xdotool key End shift+Home BackSpace
xdotool type "$data"
click_at "$dialog" 15 72  # "Use alternate blending": off, now on
click_at "$dialog" 274 12  # OK
expect_exit 10 0
expect_messages ""
show_keys "after OK"
[ "$(setting datadir)" = $'REG_SZ\t'"$(windows_path "$E2E_TMP/empty")" ] || fail "machine-wide datadir: [$(setting datadir)]"
[ "$(setting use_alt_blend)" = $'REG_SZ\t0' ] || fail "machine-wide use_alt_blend: [$(setting use_alt_blend)]"
for pair in "datadir=$data" use_heightfield=1 fullscreen=0 use_alt_blend=1; do
    [ "$(KEY=$USER_KEY setting "${pair%%=*}")" = $'REG_SZ\t'"${pair#*=}" ] ||
        fail "the user's ${pair%%=*}: [$(KEY=$USER_KEY setting "${pair%%=*}")]"
done

step "the next start takes the user's data directory over the machine-wide one without data"
start_scr "$ZELM_SCR" /s
wait_window 20 Zelm >/dev/null
wait_scene 20
xdotool key space
expect_exit 15 0
expect_messages ""

step "OK that can store machine-wide takes the user's older values away, which would hide it"
start_scr "$ZELM_SCR" /c
dialog=$(wait_window 15 "SOLUNE Configuration Dialog")
click_at "$dialog" 274 12  # OK
expect_exit 10 0
[ "$(setting datadir)" = $'REG_SZ\t'"$data" ] || fail "machine-wide datadir: [$(setting datadir)]"
KEY=$USER_KEY setting_once datadir && fail "the user's datadir is still there"
echo "user settings: passed"
