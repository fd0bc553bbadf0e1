#!/usr/bin/env bash
# The silent installer puts zelm.scr where Windows looks for screen savers, the data files in
# Program Files (or where /D= says) and the settings key pointing at them, and opens nothing; the
# screen saver then runs from those settings, and the uninstaller takes everything away again
# but the user's own settings. Then both, clicked through with the keyboard: Finish with its box
# checked opens Screen Saver Settings as right-click "Install" on a .scr does, and the
# uninstaller's box removes the user's own settings. With ZELM_SHOTS naming a folder, each page
# is kept there as a PNG file.
. "$(dirname "$0")/wine_lib.sh"
export WINEDEBUG=-all,+debugstr,+rundll32  # rundll32 names what it was asked to call

[ -f "$ZELM_SETUP" ] || fail "$ZELM_SETUP is missing: build the windows preset first"
windows="$WINEPREFIX/drive_c/windows"
system32="$windows/system32"
folder="$WINEPREFIX/drive_c/Program Files/Zelm"
files=("$system32/zelm.scr" "$folder/particle.pcx" "$folder/font.pcx" "$folder/height.pcx"
       "$folder/uninstall.exe")

all_installed() { for f in "${files[@]}"; do [ -f "$f" ] || return 1; done; }
all_removed() { for f in "${files[@]}"; do [ ! -e "$f" ] || return 1; done; [ ! -e "$folder" ]; }
settings_removed() { ! wine_quiet reg query "$KEY"; }
# nothing_under_windows: no data file in the Windows folder, and no zelm.scr for 32-bit programs.
nothing_under_windows() {
    [ -z "$(find "$windows" -iname '*.pcx' -o -ipath '*/syswow64/zelm.scr')" ] ||
        fail "under the Windows folder: $(find "$windows" -iname '*.pcx' -o -ipath '*/syswow64/zelm.scr')"
}
screen_changed() { grab "$E2E_TMP/now.png"; [ "$(compare -metric AE "$1" "$E2E_TMP/now.png" null: 2>&1)" != 0 ]; }
# next_page NAME: keeps the page as NAME.png, presses its default button and waits for the next.
next_page() {
    sleep 0.5  # the page's last controls drawn
    grab "${ZELM_SHOTS:-$E2E_TMP}/$1.png"
    xdotool key Return
    wait_until 15 screen_changed "${ZELM_SHOTS:-$E2E_TMP}/$1.png" || fail "the page $1 stayed"
}

start_xvfb 1024x768
clear_settings

step "a silent install into Program Files, which opens nothing"
start_scr "$ZELM_SETUP" /S
expect_exit 60 0
wait_until 30 all_installed || fail "installed files missing"
cmp -s "$ZELM_SCR" "$system32/zelm.scr" || fail "the installed zelm.scr differs from the build"
for f in particle font height; do
    cmp -s "$ZELM_DATA/$f.pcx" "$folder/$f.pcx" || fail "$f.pcx differs"
done
nothing_under_windows
grep rundll32 "$SCR_ERR" && fail "the silent install started rundll32"
[ "$(setting datadir)" = $'REG_SZ\tC:\\Program Files\\Zelm' ] || fail "datadir: [$(setting datadir)]"
[ "$(setting use_heightfield)" = "$(printf 'REG_SZ\t1')" ] || fail "use_heightfield: [$(setting use_heightfield)]"
[ "$(setting fullscreen)" = "$(printf 'REG_SZ\t0')" ] || fail "fullscreen: [$(setting fullscreen)]"
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t0')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"

step "the installed-programs entry: name, icon, publisher, version and size"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm'
# entry NAME: the uninstall entry's value NAME as "TYPE<tab>text".
entry() {
    WINEDEBUG=-all wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$1 *\(REG_[A-Z_]*\) *\(.*\)\$/\1\t\2/p"
}
[ "$(entry DisplayName)" = $'REG_SZ\tZelm screen saver' ] || fail "DisplayName: [$(entry DisplayName)]"
[ "$(entry DisplayIcon)" = $'REG_SZ\tC:\\windows\\system32\\zelm.scr,0' ] ||
    fail "DisplayIcon: [$(entry DisplayIcon)]"
[ "$(entry Publisher)" = $'REG_SZ\tVarno' ] || fail "Publisher: [$(entry Publisher)]"
[ "$(entry DisplayVersion)" = $'REG_SZ\t'"$ZELM_VERSION" ] ||
    fail "DisplayVersion: [$(entry DisplayVersion)], expected $ZELM_VERSION"
[ "$(entry InstallLocation)" = $'REG_SZ\tC:\\Program Files\\Zelm' ] ||
    fail "InstallLocation: [$(entry InstallLocation)]"
# In KiB: at least what the four files take, and not wildly more.
installed_kib=$(du -k --apparent-size -c "$system32/zelm.scr" "$folder"/* | tail -n 1 | cut -f 1)
[ "$(entry EstimatedSize | cut -f 1)" = REG_DWORD ] || fail "EstimatedSize: [$(entry EstimatedSize)]"
size=$(($(entry EstimatedSize | cut -f 2)))  # reg prints it in hex
((size >= installed_kib - 8 && size <= installed_kib + 64)) ||
    fail "EstimatedSize: [$(entry EstimatedSize)], the files take $installed_kib KiB"

step "the installed screen saver runs from its registry settings, from another directory"
cd "$E2E_TMP"
start_scr 'C:\windows\system32\zelm.scr' /s
wait_window 20 Zelm >/dev/null
wait_scene 20
xdotool key space
expect_exit 15 0
expect_messages ""

step "a second install keeps the switches the user chose"
wine_quiet reg add "$KEY\\use_alt_blend" /ve /d 1 /f
start_scr "$ZELM_SETUP" /S
expect_exit 60 0
[ "$(setting use_alt_blend)" = "$(printf 'REG_SZ\t1')" ] || fail "use_alt_blend: [$(setting use_alt_blend)]"

step "the silent uninstaller removes the files and the settings, but not the user's own"
wine_quiet reg add 'HKCU\Software\Varno\ZELM\fullscreen' /ve /d 1 /f
# It copies itself elsewhere and runs from there, so its first process ends at once.
start_scr 'C:\Program Files\Zelm\uninstall.exe' /S
expect_exit 60 0
wait_until 60 all_removed || fail "files left behind: $(ls "$system32/zelm.scr" "$folder" 2>&1)"
wait_until 30 settings_removed || fail "the settings key is still there"
wine_quiet reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm' &&
    fail "the uninstall entry is still there"
wine_quiet reg query 'HKCU\Software\Varno\ZELM\fullscreen' || fail "the user's settings were removed"

step "/D= over an install in Program Files moves it: the earlier folder goes, and the data"
step "earlier installs kept in the system folder; the entry and the settings follow, the user's too"
[ -f "$ZELM_LAUNCH" ] || fail "$ZELM_LAUNCH is missing: build the windows preset first"
start_scr "$ZELM_SETUP" /S
expect_exit 60 0
wait_until 30 all_installed || fail "installed files missing"
wine_quiet reg add 'HKCU\Software\Varno\ZELM\datadir' /ve /d 'C:\Program Files\Zelm' /f
mkdir "$system32/Zelm"
cp "$ZELM_DATA"/*.pcx "$system32/Zelm/"
# Windows passes /D= unquoted, spaces and all.
start_scr "$ZELM_LAUNCH" "$(windows_path "$ZELM_SETUP")" 'zelm-setup.exe /S /D=C:\Zelm moved'
expect_exit 60 0
for f in particle font height; do
    cmp -s "$ZELM_DATA/$f.pcx" "$WINEPREFIX/drive_c/Zelm moved/$f.pcx" || fail "$f.pcx differs"
done
[ ! -e "$folder" ] || fail "left in Program Files\Zelm: $(ls "$folder")"
nothing_under_windows
[ "$(setting datadir)" = $'REG_SZ\tC:\\Zelm moved' ] || fail "datadir: [$(setting datadir)]"
[ "$(KEY='HKCU\Software\Varno\ZELM' setting datadir)" = $'REG_SZ\tC:\\Zelm moved' ] ||
    fail "the user's datadir: [$(KEY='HKCU\Software\Varno\ZELM' setting datadir)]"
[ "$(entry InstallLocation)" = $'REG_SZ\tC:\\Zelm moved' ] ||
    fail "InstallLocation: [$(entry InstallLocation)]"
[ "$(entry UninstallString)" = $'REG_SZ\t"C:\\Zelm moved\\uninstall.exe"' ] ||
    fail "UninstallString: [$(entry UninstallString)]"

step "an update, clicked through: welcome, licence, the last install's folder, progress, finish"
folder="$WINEPREFIX/drive_c/Zelm moved"
rm "$folder/font.pcx"  # back only if the update goes there
start_scr "$ZELM_SETUP"
xdotool windowfocus "$(wait_window 20 'Zelm screen saver Setup ?')" 2>/dev/null || true
next_page 1-welcome
next_page 2-licence
next_page 3-folder
wait_until 30 wine_quiet reg query "$uninstall_key" /v NoRepair || fail "the entry was not written"
cmp -s "$ZELM_DATA/font.pcx" "$folder/font.pcx" || fail "font.pcx not updated in $folder"
next_page 4-progress
next_page 5-finish
expect_exit 20 0
# rundll32's trace as Wine 8 and Wine 10 write it.
grep -qF -e 'rundll32:wWinMain CmdLine=L"desk.cpl,InstallScreenSaver C:\\windows\\system32\\zelm.scr"' \
    -e 'rundll32:wWinMain dll L"desk.cpl" entry L"InstallScreenSaver" cmdline L"C:\\windows\\system32\\zelm.scr"' \
    "$SCR_ERR" || fail "Finish did not open Screen Saver Settings: $(grep rundll32 "$SCR_ERR")"

step "the uninstaller, its box checked: everything goes, the user's own settings too"
start_scr 'C:\Zelm moved\uninstall.exe'
xdotool windowfocus "$(wait_window 20 'Zelm screen saver Uninstall ?')" 2>/dev/null || true
next_page 6-uninstall-confirm
xdotool key Down space  # the second box, "My own Zelm settings"
next_page 7-uninstall-choice
wait_until 30 all_removed || fail "files left in $folder"
next_page 8-uninstall-progress
wine_quiet reg query 'HKCU\Software\Varno' && fail "the user's settings are still there"
echo "installer: passed"
