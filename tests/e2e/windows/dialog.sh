#!/usr/bin/env bash
# The configuration dialog: forced by an empty registry after the warning, or asked for with
# /c. Cancel and the close box store nothing; OK stores all four settings as text.
. "$(dirname "$0")/wine_lib.sh"

caption="SOLUNE Configuration Dialog"
warning="Warning: Couldn't read configuration settings from registry."

# no_settings_stored: none of the four subkeys exists.
no_settings_stored() {
    for name in datadir use_heightfield fullscreen use_alt_blend; do
        if setting "$name" >/dev/null; then fail "$name was stored"; fi
    done
}

start_xvfb 1024x768

step "an empty registry: the warning, then the dialog; Cancel stores nothing"
clear_settings
start_scr "$ZELM_SCR"
wait_window 20 Warning >/dev/null
window_shown "$caption" && fail "the dialog came before the warning was dismissed"
dismiss 5 Warning
dialog=$(wait_window 15 "$caption")
window_shown Zelm && fail "the demo ran"
click_at "$dialog" 274 32  # Cancel
expect_exit 10 0
expect_messages "$warning"
no_settings_stored

step "/c with an empty registry: the warning, the dialog; its close box stores nothing"
start_scr "$ZELM_SCR" /c
dismiss 15 Warning
dialog=$(wait_window 15 "$caption")
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key alt+F4
expect_exit 10 0
no_settings_stored

step "OK stores what the controls show, the switches as 0 or 1"
start_scr "$ZELM_SCR" /cxyz
dismiss 15 Warning
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 200 27  # the data directory's edit field, after its text "."
xdotool key End BackSpace
xdotool type 'D:/zelm data'
click_at "$dialog" 15 57  # "Use heightfield": on by default, now off
click_at "$dialog" 15 87  # "Run Fullscreen": off by default, now on
click_at "$dialog" 274 12  # OK
expect_exit 10 0
[ "$(setting datadir)" = "$(printf 'REG_SZ\tD:/zelm data')" ] || fail "datadir: [$(setting datadir)]"
[ "$(setting use_heightfield)" = "$(printf 'REG_SZ\t0')" ] || fail "use_heightfield: [$(setting use_heightfield)]"
[ "$(setting fullscreen)" = "$(printf 'REG_SZ\t1')" ] || fail "fullscreen: [$(setting fullscreen)]"
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t0')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"

# The loop does no dialog keyboard handling. Keys reach the focused control in order: each
# run ends with a key that must work, so keys that went nowhere fail the test too.
step "Escape does not cancel: the space bar on the focused OK button still stores"
seed 'C:\zelm' 1 0 7
start_scr "$ZELM_SCR" /c
dialog=$(wait_window 15 "$caption")
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key Escape space
expect_exit 10 0
# OK stores the 7 back as 1; a cancelled dialog would have left it.
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t1')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"

step "Enter does not press OK: the check box keeps the focus and the space bar toggles it back"
seed 'C:\zelm' 1 0 0
start_scr "$ZELM_SCR" /c
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 15 57  # "Use heightfield": now off, and focused
xdotool key Return space
click_at "$dialog" 274 12  # OK
expect_exit 10 0
[ "$(setting use_heightfield)" = "$(printf 'REG_SZ\t1')" ] || fail "use_heightfield: [$(setting use_heightfield)]"

step "/c with readable settings: no warning; the dialog shows them and OK keeps them"
seed 'C:\zelm' 7 0 1
start_scr "$ZELM_SCR" /c
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 274 12  # OK
expect_exit 10 0
expect_messages ""
[ "$(setting datadir)" = "$(printf 'REG_SZ\tC:\\zelm')" ] || fail "datadir: [$(setting datadir)]"
# A switch of 7 is shown checked and stored back as 1.
[ "$(setting use_heightfield)" = "$(printf 'REG_SZ\t1')" ] || fail "use_heightfield: [$(setting use_heightfield)]"
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t1')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"
step "a 999-character data directory is read whole and stored back whole"
long=$(printf 'C:\\%0996d' 0 | tr 0 d)
[ ${#long} -eq 999 ] || fail "test path of ${#long} characters"
seed "$long" 1 0 0
start_scr "$ZELM_SCR" /c
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 274 12  # OK
expect_exit 10 0
expect_messages ""
[ "$(setting datadir)" = "$(printf 'REG_SZ\t%s' "$long")" ] || fail "the long datadir changed"

step "a switch of ten characters and a 1000-character directory cannot be read: the warning,"
step "then the dialog with the defaults; Cancel leaves the stored texts as they were"
seed "${long}d" 0 0 0123456789
start_scr "$ZELM_SCR" /s
dismiss 15 Warning
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 274 32  # Cancel
expect_exit 10 0
expect_messages "$warning"
[ "$(setting datadir)" = "$(printf 'REG_SZ\t%s' "${long}d")" ] || fail "datadir was changed"
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t0123456789')" ] || fail "use_alt_blend was changed"

step "the same, confirmed: the defaults for what could not be read, the rest as read"
start_scr "$ZELM_SCR"
dismiss 15 Warning
dialog=$(wait_window 15 "$caption")
click_at "$dialog" 274 12  # OK
expect_exit 10 0
[ "$(setting datadir)" = "$(printf 'REG_SZ\t.')" ] || fail "datadir: [$(setting datadir)]"
[ "$(setting use_heightfield)" = "$(printf 'REG_SZ\t0')" ] || fail "use_heightfield: [$(setting use_heightfield)]"
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t0')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"
echo "dialog: passed"
