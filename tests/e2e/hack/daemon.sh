#!/usr/bin/env bash
# zelm under the real XScreenSaver daemon: a ~/.xscreensaver made by zelm --xscreensaver-add
# and set to run its first program, the daemon activated by xscreensaver-command; zelm must
# run and draw in the daemon's window, and end when the daemon deactivates. The daemon refuses
# to run hacks as root, so as root it runs as nobody, with a home and copies of zelm and its
# data that nobody can read. Needs ZELM_XML besides what hack_lib.sh needs.
. "$(dirname "$0")/hack_lib.sh"

for tool in xscreensaver xscreensaver-command; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIP: setpriv is not installed"; exit 77; }
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

DAEMON_PID=
daemon_cleanup() {
    if [ -n "$DAEMON_PID" ]; then
        kill "$DAEMON_PID" 2>/dev/null || true
        wait "$DAEMON_PID" 2>/dev/null || true
    fi
    [ -z "${HACK_HOME:-}" ] || rm -rf "$HACK_HOME"
    hack_cleanup
}
trap daemon_cleanup EXIT

# The daemon's user gets a home of its own outside E2E_TMP, which only root can enter.
HACK_HOME=$(mktemp -d /tmp/zelm-daemon.XXXXXX)
mkdir -p "$HACK_HOME/bin" "$HACK_HOME/data" "$HACK_HOME/.config/Varno/ZELM" "$HACK_HOME/xdg"
install -m 755 "$ZELM" "$HACK_HOME/bin/zelm"
install -m 644 "$ZELM_DATA"/*.pcx "$HACK_HOME/data/"
printf '%s\n' "$HACK_HOME/data" >"$HACK_HOME/.config/Varno/ZELM/datadir"
chmod 755 "$HACK_HOME"
[ ${#as_user[@]} -eq 0 ] || chown -R nobody:nogroup "$HACK_HOME"

# The user has no ~/.xscreensaver: --xscreensaver-add starts one from the daemon's own list and
# puts first the entry that the description's command gives, as the settings program makes it.
arg=$(sed -n 's/.*<command arg="\([^"]*\)".*/\1/p' "$ZELM_XML")
[ -n "$arg" ] || fail "no <command arg=...> in $ZELM_XML"
command="zelm $arg"
as_daemon_user() { env -i PATH=/usr/bin:/bin HOME="$HACK_HOME" "${as_user[@]}" "$@"; }
programs() { sed -n '/^programs:/,/[^\\]$/p' "$HACK_HOME/.xscreensaver"; }
defaults=$(sed -n '/^\*programs:/,/[^\\]$/p' /etc/X11/app-defaults/XScreenSaver | sed 's/^\*//')

step "--xscreensaver-add twice: the daemon's defaults and \"GL: $command\" once, first"
for _ in 1 2; do
    as_daemon_user "$HACK_HOME/bin/zelm" --xscreensaver-add || fail "--xscreensaver-add: exit code $?"
done
[ "$(programs | grep -c 'zelm')" -eq 1 ] || fail "not one zelm entry: $(programs | grep zelm)"
[ "$(programs | sed -n 2p | tr -s ' \t' ' ')" = " GL: $command \\n\\" ] ||
    fail "zelm is not the first entry: $(programs | sed -n 2p)"
[ "$(programs | sed 2d)" = "$defaults" ] || fail "the daemon's defaults are not all kept"

# The daemon's settings for this run, after the list; "selected: 0" is the first entry.
cat >>"$HACK_HOME/.xscreensaver" <<END
mode:		one
selected:	0
timeout:	1:00:00
lock:		False
splash:		False
fade:		False
unfade:		False
dpmsEnabled:	False
grabDesktopImages:	False
END

start_xserver Xvfb -screen 0 1024x768x24 -br

step "the daemon starts with that file"
env -i PATH="$HACK_HOME/bin:/usr/bin:/bin" HOME="$HACK_HOME" DISPLAY="$DISPLAY" \
    XDG_CONFIG_HOME="$HACK_HOME/.config" XDG_CONFIG_DIRS="$HACK_HOME/xdg" \
    "${as_user[@]}" xscreensaver --no-splash --verbose >"$E2E_TMP/daemon.log" 2>&1 &
DAEMON_PID=$!
daemon_answers() { xscreensaver-command -time >/dev/null 2>&1; }
wait_until 20 daemon_answers || fail "the daemon does not answer: $(tail -n 20 "$E2E_TMP/daemon.log")"

# The pids of processes that run our copy of zelm.
hack_pids() {
    local exe pid
    for exe in /proc/[0-9]*/exe; do
        if [ "$(readlink "$exe" 2>/dev/null)" = "$HACK_HOME/bin/zelm" ]; then
            pid=${exe#/proc/}
            echo "${pid%/exe}"
        fi
    done
}
hack_running() { [ -n "$(hack_pids)" ]; }
hack_gone() { ! hack_running; }

step "activated, the daemon runs zelm, which draws in its window"
xscreensaver-command -activate >/dev/null || fail "xscreensaver-command -activate failed"
wait_until 20 hack_running || fail "zelm was not started: $(tail -n 20 "$E2E_TMP/daemon.log")"
wait_until 30 lit 1024x8+0+758 || fail "no credit line at the bottom of the screen: $(tail -n 20 "$E2E_TMP/daemon.log")"
f="$E2E_TMP/daemon.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/hack-daemon.png"
at_least "$(region_stat "$f" 1024x200+0+500 mean)" 0.04 || fail "no mesh in the lower part"
dark "$f" 1024x16+0+0 || fail "a frame-rate meter, which the defaults leave off"
hack_running || fail "zelm ended while the daemon was active"

step "deactivated, the daemon ends zelm"
xscreensaver-command -deactivate >/dev/null || fail "xscreensaver-command -deactivate failed"
wait_until 10 hack_gone || fail "zelm still runs 10 s after the deactivation"
if grep -q "^zelm: " "$E2E_TMP/daemon.log"; then
    fail "zelm complained: $(grep "^zelm: " "$E2E_TMP/daemon.log")"
fi
step "--xscreensaver-remove: the daemon's list as it was, the other lines kept"
as_daemon_user "$HACK_HOME/bin/zelm" --xscreensaver-remove || fail "--xscreensaver-remove: exit code $?"
[ "$(programs)" = "$defaults" ] || fail "the list is not the daemon's after the removal"
grep -q '^mode:		one$' "$HACK_HOME/.xscreensaver" || fail "the other lines were not kept"
echo "hack under the daemon: passed"
