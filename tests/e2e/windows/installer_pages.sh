#!/usr/bin/env bash
# The installer and the uninstaller as a user clicks through them, with the keyboard: the pages
# in order; Finish with its box checked opens Screen Saver Settings with Zelm selected, as
# right-click "Install" on a .scr does; an update goes where the last install went; the
# uninstaller's box removes the user's own settings. With ZELM_SHOTS set to a folder, each page
# is kept there as a PNG file.
. "$(dirname "$0")/wine_lib.sh"

[ -f "$ZELM_SETUP" ] || fail "$ZELM_SETUP is missing: build the windows preset first"
shots=${ZELM_SHOTS:-$E2E_TMP}
folder="$WINEPREFIX/drive_c/Zelm here"
export WINEDEBUG=-all,+debugstr,+rundll32  # rundll32 names what it was asked to call

screen_changed() { grab "$E2E_TMP/now.png"; [ "$(compare -metric AE "$1" "$E2E_TMP/now.png" null: 2>&1)" != 0 ]; }

# next_page NAME: keeps the page as NAME.png, presses its default button and waits for the next.
next_page() {
    sleep 0.5  # the page's last controls drawn
    grab "$shots/$1.png"
    xdotool key Return
    wait_until 15 screen_changed "$shots/$1.png" || fail "the page $1 stayed"
}

files_in() { for f in particle font height uninstall; do [ -f "$1/$f."* ] || return 1; done; }
files_gone() { [ ! -e "$folder" ]; }

start_xvfb 1024x768
clear_settings
start_scr "$ZELM_LAUNCH" "$(windows_path "$ZELM_SETUP")" 'zelm-setup.exe /S /D=C:\Zelm here'
expect_exit 60 0
rm "$folder/font.pcx"  # back only if the update goes there

step "an update, clicked through: welcome, licence, the last install's folder, progress, finish"
start_scr "$ZELM_SETUP"
xdotool windowfocus "$(wait_window 20 'Zelm screen saver Setup ?')" 2>/dev/null || true
next_page 1-welcome
next_page 2-licence
next_page 3-folder
wait_until 30 files_in "$folder" || fail "files missing in $folder"
wait_until 30 wine_quiet reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm' /v NoRepair
next_page 4-progress
next_page 5-finish
expect_exit 20 0
grep -q 'rundll32:wWinMain CmdLine=L"desk.cpl,InstallScreenSaver C:\\\\windows\\\\system32\\\\zelm.scr"' "$SCR_ERR" ||
    fail "Finish did not open Screen Saver Settings: $(grep rundll32 "$SCR_ERR")"
[ "$(setting datadir)" = $'REG_SZ\tC:\\Zelm here' ] || fail "datadir: [$(setting datadir)]"

step "the uninstaller, its box checked: everything goes, the user's own settings too"
wine_quiet reg add 'HKCU\Software\Varno\ZELM\fullscreen' /ve /d 1 /f
start_scr 'C:\Zelm here\uninstall.exe'
xdotool windowfocus "$(wait_window 20 'Zelm screen saver Uninstall ?')" 2>/dev/null || true
next_page 6-uninstall-confirm
xdotool key Down space  # the second box, "My own Zelm settings"
next_page 7-uninstall-choice
wait_until 30 files_gone || fail "files left in $folder"
next_page 8-uninstall-progress
wine_quiet reg query 'HKCU\Software\Varno' && fail "the user's settings are still there"
echo "installer pages: passed"
