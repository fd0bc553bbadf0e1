#!/usr/bin/env bash
# The idle watcher under headless mutter (GNOME), which has no Wayland idle protocol: idle comes
# from its idle monitor on the session bus, and the saver is the full-screen window (mutter has
# no layer-shell). While GNOME's session manager (a stand-in) says idle is held off, no saver
# comes; once it lets go, the saver does. mutter has no screenshots for grim, so the saver is
# seen in the protocol log: a 1024x768 configure and frames committed.
. "$(dirname "$0")/wayland_lib.sh"
start_mutter
inhibited="$WL_HOME/run/inhibited"
user_env
"${USER_ENV[@]}" env DBUS_SESSION_BUS_ADDRESS="unix:path=$WL_HOME/run/bus" \
    /usr/bin/python3 "$(dirname "$0")/session_manager.py" "$inhibited" &
MANAGER_PID=$!
trap 'kill "$MANAGER_PID" 2>/dev/null || true; wayland_cleanup' EXIT

saver_shown() {
    grep -q 'xdg_toplevel[@#][0-9]*\.configure(1024, 768' "$ZELM_ERR" &&
        [ "$(grep -c 'wl_surface[@#][0-9]*\.commit()' "$ZELM_ERR")" -ge 10 ]
}
start_debug_zelm() {
    ZELM_RC=
    user_env
    "${USER_ENV[@]}" env WAYLAND_DEBUG=1 "$WL_HOME/bin/zelm" --idle 1 2>"$ZELM_ERR" &
    ZELM_PID=$!
}

step "mutter's idle monitor starts the full-screen saver"
start_debug_zelm
wait_until 5 saver_shown || fail "no saver within 5 s"
grep -qxF "zelm: the compositor has no layer-shell: showing a full-screen window instead" \
    "$ZELM_ERR" || fail "the saver did not say why it is a window"
kill -TERM "$ZELM_PID"
expect_exit 4 0

step "no saver while the session manager holds idle off; the saver once it lets go"
touch "$inhibited"
start_debug_zelm
sleep 3
zelm_running || fail "the watcher ended"
grep -q 'xdg_toplevel[@#][0-9]' "$ZELM_ERR" && fail "a saver while idle was held off"
rm "$inhibited"
wait_until 5 saver_shown || fail "no saver within 5 s of the release"
kill -TERM "$ZELM_PID"
expect_exit 4 0
