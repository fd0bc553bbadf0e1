#!/usr/bin/env bash
# Start-up, the full-screen preparation and the settings store when a Win32 call fails, through
# the test build: each message with its caption, buttons, icon and owner, and the exit code.
. "$(dirname "$0")/wine_lib.sh"

plain="[OK, error icon, no owner]"
dialog_caption="SOLUNE Configuration Dialog"

start_xvfb 640x480  # lists the 640 x 480 x 16 mode, so that only the injected fault stops it
seed "$(windows_path "$ZELM_DATA")" 1 1 0

for fault in EnumDisplaySettingsA DISP_CHANGE_BADMODE DISP_CHANGE_FAILED; do
    case $fault in
        EnumDisplaySettingsA) text="Didn't find good fullscreen mode" ;;
        *) text=$fault ;;
    esac
    step "full screen, $fault: \"$text\", exit code -1 (255), no window"
    start_faulty "$fault"
    dismiss 20 Error
    expect_exit 10 255
    expect_messages "Error: $text $plain"
    window_shown Zelm && fail "the demo window was created"
done

step "window class not registered: no message, exit code 0, no window, display untouched"
start_faulty RegisterClassA
expect_exit 15 0
expect_messages ""

step "window not created: \"Couldn't create window\", exit code -1 (255)"
start_faulty CreateWindowExA
dismiss 20 Error
expect_exit 10 255
expect_messages "Error: Couldn't create window $plain"

step "/c, dialog not created: \"Couldn't create dialog box\", exit code 0"
start_faulty CreateDialogParamA /c
dismiss 20 Error
expect_exit 10 0
expect_messages "Error: Couldn't create dialog box $plain"

step "settings key neither opened nor created: the warning (no icon), then the dialog"
start_faulty RegOpenKeyA,RegCreateKeyA
dismiss 20 Warning
dialog=$(wait_window 15 "$dialog_caption")
window_shown Zelm && fail "the demo ran"
xdotool windowfocus "$dialog" 2>/dev/null || true
xdotool key alt+F4
expect_exit 10 0
expect_messages "Warning: Couldn't read configuration settings from registry. [OK, no icon, no owner]"

step "OK, datadir not stored: \"Couldn't save datadir\", the switches still stored, exit code 0"
seed 'D:\old' 1 0 0
start_faulty RegSetValueA/datadir /c
dialog=$(wait_window 15 "$dialog_caption")
click_at "$dialog" 15 57   # "Use heightfield": on, now off
click_at "$dialog" 274 12  # OK
dismiss 20 Error
expect_exit 10 0
expect_messages "Error: Couldn't save datadir $plain"
[ "$(setting datadir)" = $'REG_SZ\tD:\\old' ] || fail "datadir is [$(setting datadir)]"
[ "$(setting use_heightfield)" = $'REG_SZ\t0' ] || fail "use_heightfield is [$(setting use_heightfield)]"

step "OK, no value stored: the datadir failure, then one message naming every switch"
start_faulty RegSetValueA /c
dialog=$(wait_window 15 "$dialog_caption")
click_at "$dialog" 15 57   # "Use heightfield": off, now on
click_at "$dialog" 274 12  # OK
dismiss 20 Error
dismiss 20 Error
expect_exit 10 0
expect_messages "$(lines "Error: Couldn't save datadir $plain" \
    "Error: Couldn't save settings: use_heightfield, fullscreen, use_alt_blend $plain")"
[ "$(setting use_heightfield)" = $'REG_SZ\t0' ] || fail "use_heightfield is [$(setting use_heightfield)]"

step "OK, settings key not opened for writing: it is created, every value stored, no message"
start_faulty RegOpenKeyA /c
dialog=$(wait_window 15 "$dialog_caption")
click_at "$dialog" 15 57   # "Use heightfield": off, now on
click_at "$dialog" 274 12  # OK
expect_exit 10 0
expect_messages ""
[ "$(setting use_heightfield)" = $'REG_SZ\t1' ] || fail "use_heightfield is [$(setting use_heightfield)]"
echo "faults at start-up and in the settings: passed"
