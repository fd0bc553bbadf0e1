#!/usr/bin/env bash
# zelm --autostart writes a valid XDG autostart entry that runs the idle watcher with the saver's
# options, from wherever zelm lies (a folder whose name needs quoting too: GLib, which starts
# GNOME's autostart entries, must read the path back); --no-autostart removes it. A path that no
# entry can carry is refused.
. "$(dirname "$0")/../linux/lib.sh"
command -v desktop-file-validate >/dev/null ||
    { echo "SKIP: desktop-file-validate is not installed"; exit 77; }
entry="$XDG_CONFIG_HOME/autostart/zelm.desktop"
# The command line that GLib makes of the entry, one argument a line.
launched() {
    /usr/bin/python3 -c 'import sys; from gi.repository import Gio, GLib
info = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
print("\n".join(GLib.shell_parse_argv(info.get_commandline())[1]))' "$entry"
}

step "the entry runs zelm --idle 300 with the saver's options, and is valid"
"$ZELM" --autostart 300 --no-heightfield --delay 20000 || fail "--autostart failed"
desktop-file-validate "$entry" || fail "not a valid desktop entry"
[ "$(launched)" = "$(printf '%s\n' "$ZELM" --idle 300 --delay 20000 --no-heightfield)" ] ||
    fail "it would run: $(launched)"

step "from a folder named with a blank and a dollar sign"
odd="$E2E_TMP/my \$saver"
mkdir -p "$odd"
cp "$ZELM" "$odd/zelm"
"$odd/zelm" --autostart 60 || fail "--autostart failed"
desktop-file-validate "$entry" || fail "not a valid desktop entry"
[ "$(launched | head -n 1)" = "$odd/zelm" ] || fail "it would run: $(launched)"

step "--no-autostart removes it; again is no error"
"$ZELM" --no-autostart || fail "--no-autostart failed"
[ ! -e "$entry" ] || fail "the entry is still there"
"$ZELM" --no-autostart || fail "a second --no-autostart failed"

step "a path with a '%' or a byte that is not UTF-8: refused, no entry"
for folder in "100%" $'caf\xe9'; do
    mkdir -p "$E2E_TMP/$folder"
    cp "$ZELM" "$E2E_TMP/$folder/zelm"
    status=0
    "$E2E_TMP/$folder/zelm" --autostart 60 2>"$E2E_TMP/err" || status=$?
    [ "$status" -eq 1 ] || fail "$folder: exit code $status"
    grep -q "no autostart entry can run it" "$E2E_TMP/err" || fail "$folder: $(cat "$E2E_TMP/err")"
    [ ! -e "$entry" ] || fail "$folder: an entry was written"
done
