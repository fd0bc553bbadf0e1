#!/usr/bin/env bash
# The installer puts zelm.scr where Windows looks for screen savers, the data files beside it
# and the settings key pointing at them; the screen saver then runs from those settings, and
# the uninstaller takes everything away again.
. "$(dirname "$0")/wine_lib.sh"

[ -f "$ZELM_SETUP" ] || fail "$ZELM_SETUP is missing: build the windows preset first"
system32="$WINEPREFIX/drive_c/windows/system32"
files=("$system32/zelm.scr" "$system32/Zelm/particle.pcx" "$system32/Zelm/font.pcx"
       "$system32/Zelm/height.pcx" "$system32/Zelm/uninstall.exe")

all_installed() { for f in "${files[@]}"; do [ -f "$f" ] || return 1; done; }
all_removed() { for f in "${files[@]}"; do [ ! -e "$f" ] || return 1; done; [ ! -e "$system32/Zelm" ]; }
settings_removed() { ! wine_quiet reg query "$KEY"; }

start_xvfb 1024x768
clear_settings

step "a silent install"
start_scr "$ZELM_SETUP" /S
expect_exit 60 0
wait_until 30 all_installed || fail "installed files missing"
cmp -s "$ZELM_SCR" "$system32/zelm.scr" || fail "the installed zelm.scr differs from the build"
for f in particle font height; do
    cmp -s "$ZELM_DATA/$f.pcx" "$system32/Zelm/$f.pcx" || fail "$f.pcx differs"
done
[ "$(setting datadir)" = "$(printf 'REG_SZ\tC:\\windows\\system32\\Zelm')" ] || fail "datadir: [$(setting datadir)]"
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
# In KiB: at least what the four files take, and not wildly more.
installed_kib=$(du -k --apparent-size -c "$system32/zelm.scr" "$system32/Zelm"/* | tail -n 1 | cut -f 1)
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

step "the uninstaller removes the files and the settings"
# It copies itself elsewhere and runs from there, so its first process ends at once.
start_scr 'C:\windows\system32\Zelm\uninstall.exe' /S
expect_exit 60 0
wait_until 60 all_removed || fail "files left behind: $(ls "$system32/zelm.scr" "$system32/Zelm" 2>&1)"
wait_until 30 settings_removed || fail "the settings key is still there"
wine_quiet reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelm' &&
    fail "the uninstall entry is still there"
echo "installer: passed"
