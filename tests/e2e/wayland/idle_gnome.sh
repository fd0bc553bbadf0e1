#!/usr/bin/env bash
# The idle watcher under headless mutter (GNOME), which has no Wayland idle protocol: idle comes
# from its idle monitor on the session bus, and the saver is the full-screen window (mutter has
# no layer-shell). While GNOME's session manager (a stand-in) says idle is held off, no saver
# comes; once it lets go, the saver does. mutter has no screenshots for grim, so the saver is
# seen in the protocol log: a 1024x768 configure and frames committed. A bus that never answers
# ends the watcher with 1, after saying so; SIGTERM ends it meanwhile within 3 s. One that stops
# answering later (stopped) holds the saver back, said once, until it answers again. Two
# monitors: the saver has a full-screen window on each; a second saver ends at once with 0.
. "$(dirname "$0")/wayland_lib.sh"
start_mutter 1024x768 800x600
inhibited="$WL_HOME/run/inhibited"
user_env
"${USER_ENV[@]}" env DBUS_SESSION_BUS_ADDRESS="unix:path=$WL_HOME/run/bus" \
    /usr/bin/python3 "$(dirname "$0")/session_manager.py" "$inhibited" &
MANAGER_PID=$!
trap 'kill "$MANAGER_PID" 2>/dev/null || true; wayland_cleanup' EXIT
start_silent_bus "$WL_HOME/run/silent"

step "a bus that never answers: SIGTERM in the wait ends the watcher within 3 s; else 1"
silent_zelm() {
    user_env
    "${USER_ENV[@]}" env DBUS_SESSION_BUS_ADDRESS="unix:path=$WL_HOME/run/silent" \
        "$WL_HOME/bin/zelm" --idle 1 2>"$ZELM_ERR" &
    ZELM_PID=$!
}
silent_zelm
wait_until 10 grep -q connection "$E2E_TMP/silent.log" || fail "the watcher did not call the bus"
kill -TERM "$ZELM_PID"
expect_exit 3 0
silent_zelm
expect_exit 10 1
expect_stderr "zelm: the session bus does not answer: no idle time from GNOME's idle monitor"

step "the saver: a window at each monitor's size, both drawn; a second saver ends with 0"
start_debug_zelm --overlay
both_drawn() {  # two surfaces with 10 commits each
    [ "$(grep -o 'wl_surface[@#][0-9]*\.commit()' "$ZELM_ERR" | sort | uniq -c | awk '$1 >= 10' |
        wc -l)" -ge 2 ]
}
wait_until $slow both_drawn || fail "not two surfaces with 10 frames each"
grep -q 'xdg_toplevel[@#][0-9]*\.configure(800, 600,' "$ZELM_ERR" || fail "no 800x600 window"
drawn_full_screen 0 || fail "no 1024x768 window"
first=$ZELM_PID ZELM_ERR="$E2E_TMP/second"
start_wayland_zelm --overlay
expect_exit 5 0
expect_stderr "zelm: another zelm --overlay is already showing in this session"
ZELM_PID=$first ZELM_ERR="$E2E_TMP/stderr"
kill -TERM "$ZELM_PID"
expect_exit 4 0

step "mutter's idle monitor starts the full-screen saver"
start_debug_zelm --idle 1
wait_until $slow drawn_full_screen 10 || fail "no saver"
grep -qxF "zelm: the compositor has no layer-shell: showing a full-screen window instead" \
    "$ZELM_ERR" || fail "the saver did not say why it is a window"
kill -TERM "$ZELM_PID"
expect_exit 4 0

step "no saver while the session manager holds idle off, nor while the bus is stopped; then one"
touch "$inhibited"
start_debug_zelm --idle 1
sleep 3
zelm_running || fail "the watcher ended"
grep -q 'xdg_toplevel[@#][0-9]' "$ZELM_ERR" && fail "a saver while idle was held off"
kill -STOP "$BUS_PID"
wait_until $slow grep -q "bus does not answer" "$ZELM_ERR" || fail "no word of the stopped bus"
zelm_running || fail "the watcher ended when the bus stopped"
grep -q 'xdg_toplevel[@#][0-9]' "$ZELM_ERR" && fail "a saver while the bus was stopped"
rm "$inhibited"
kill -CONT "$BUS_PID"
wait_until $slow drawn_full_screen 10 || fail "no saver after the release"
[ "$(grep -c "bus does not answer" "$ZELM_ERR")" -eq 1 ] || fail "the stopped bus not named once"
kill -TERM "$ZELM_PID"
expect_exit 4 0
