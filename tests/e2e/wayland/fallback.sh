#!/usr/bin/env bash
# The saver where the compositor has no layer-shell (headless weston): it says so once on stderr
# and draws in a full-screen toplevel instead, at the output's size; SIGTERM ends it with 0.
# weston tells no program about idle time either: the idle watcher says what to use, and ends.
# weston's screenshots come out empty on its headless pixman output, so the drawing is read from
# the protocol log: a 1024x768 configure, then buffers committed frame after frame.
. "$(dirname "$0")/wayland_lib.sh"
start_weston

step "the message, then a full-screen window that draws"
ZELM_RC=
user_env
"${USER_ENV[@]}" env WAYLAND_DEBUG=1 "$WL_HOME/bin/zelm" --overlay 2>"$ZELM_ERR" &
ZELM_PID=$!
commits() { grep -c 'wl_surface[@#][0-9]*\.commit()' "$ZELM_ERR"; }
drew() { [ "$(commits)" -ge 20 ]; }
wait_until 10 drew || fail "only $(commits) commits in 10 s"
zelm_running || fail "zelm ended"
message="zelm: the compositor has no layer-shell: showing a full-screen window instead"
[ "$(grep -c '^zelm: ' "$ZELM_ERR")" -eq 1 ] || fail "not one message: $(grep '^zelm: ' "$ZELM_ERR")"
grep -qxF "$message" "$ZELM_ERR" || fail "no fallback message"
grep -q 'xdg_toplevel[@#][0-9]*\.configure(1024, 768' "$ZELM_ERR" || fail "not configured at 1024x768"

step "SIGTERM ends it with 0"
kill -TERM "$ZELM_PID"
expect_exit 2 0

step "the idle watcher finds no idle source: it names swayidle and ends with 1"
start_wayland_zelm --idle 2
expect_exit 5 1
grep -q '^zelm: .*swayidle' "$ZELM_ERR" || fail "no word of swayidle: $(cat "$ZELM_ERR")"
