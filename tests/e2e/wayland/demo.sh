#!/usr/bin/env bash
# The demo under headless sway: a toplevel that draws the scene, holds idle off while it runs
# (swayidle does not fire) and lets it come back after (it fires), and
# ends on a key and on a click (from a virtual pointer: zelm_virtual_click). Then the saver as
# an idle daemon starts it: swayidle -w runs zelm --overlay after 2 s without input, and a key
# ends it.
. "$(dirname "$0")/wayland_lib.sh"
[ -n "${ZELM_VIRTUAL_CLICK:-}" ] || { echo "SKIP: ZELM_VIRTUAL_CLICK is not set"; exit 77; }
for tool in grim wtype swaymsg swayidle identify; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
start_sway
IDLE_PID=
OTHER_IDLE_PID=
idle_cleanup() {
    if [ -n "$IDLE_PID" ]; then kill "$IDLE_PID" 2>/dev/null || true; fi
    if [ -n "$OTHER_IDLE_PID" ]; then kill "$OTHER_IDLE_PID" 2>/dev/null || true; fi
    wayland_cleanup
}
trap idle_cleanup EXIT

step "the demo draws in its toplevel"
start_wayland_zelm
wait_until $slow shows_scene HEADLESS-1 || fail "no scene on HEADLESS-1"
shot demo

step "no idle while it runs"
user_env
"${USER_ENV[@]}" swayidle timeout 2 "touch $WL_HOME/idle" >/dev/null 2>&1 &
IDLE_PID=$!
sleep 4
[ ! -e "$WL_HOME/idle" ] || fail "swayidle fired while the demo ran"
zelm_running || fail "the demo ended by itself"

step "a key ends it, and idle comes after"
type_key
expect_exit 2 0
wait_until $slow test -e "$WL_HOME/idle" || fail "no idle after the demo"
kill "$IDLE_PID"
IDLE_PID=

step "a click ends it"
start_wayland_zelm
wait_until $slow shows_scene HEADLESS-1 || fail "no scene on HEADLESS-1"
as_user zelm_virtual_click 1024 768 || fail "no click"
expect_exit 2 0

step "swayidle -w starts the saver after 2 s idle; later steps still come; a key ends it"
# The saver's shell writes its pid, then becomes zelm: whoever runs the tests, and whatever
# else runs zelm beside them, that pid is this saver's.
"${USER_ENV[@]}" swayidle -w timeout 2 "echo \$\$ >$WL_HOME/saver.pid; exec zelm --overlay" \
    >/dev/null 2>&1 &
IDLE_PID=$!
wait_until $slow test -s "$WL_HOME/saver.pid" || fail "swayidle did not start the saver"
saver=$(cat "$WL_HOME/saver.pid")
wait_until $slow shows_scene HEADLESS-1 || fail "the saver shows no scene"
# -w holds swayidle's own later steps while zelm runs: a second daemon shows that zelm holds
# nothing off.
"${USER_ENV[@]}" swayidle timeout 2 "touch $WL_HOME/later" >/dev/null 2>&1 &
OTHER_IDLE_PID=$!
wait_until $slow test -e "$WL_HOME/later" || fail "the saver held idle off"
kill "$OTHER_IDLE_PID"
OTHER_IDLE_PID=
type_key
# The key must end this saver (swayidle starts another, with another pid, 2 s later).
saver_gone() { ! kill -0 "$saver" 2>/dev/null; }
wait_until $slow saver_gone || fail "a key did not end the saver"
