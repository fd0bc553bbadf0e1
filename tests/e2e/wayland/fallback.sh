#!/usr/bin/env bash
# The saver where the compositor has no layer-shell (headless weston): it says so once on stderr
# and draws in a full-screen toplevel instead, at the output's size; SIGTERM ends it with 0.
# weston tells no program about idle time either: the idle watcher says what to use, and ends.
# weston's screenshots come out empty on its headless pixman output, so the drawing is read from
# the protocol log: a 1024x768 configure, then buffers committed frame after frame.
. "$(dirname "$0")/wayland_lib.sh"
start_weston

step "the message, then a full-screen window that draws"
start_debug_zelm --overlay
wait_until $slow drawn_full_screen 20 || fail "no 1024x768 window with 20 frames ($(commits))"
zelm_running || fail "zelm ended"
message="zelm: the compositor has no layer-shell: showing a full-screen window instead"
[ "$(grep -c '^zelm: ' "$ZELM_ERR")" -eq 1 ] || fail "not one message: $(grep '^zelm: ' "$ZELM_ERR")"
grep -qxF "$message" "$ZELM_ERR" || fail "no fallback message"

step "SIGTERM ends it with 0"
kill -TERM "$ZELM_PID"
expect_exit 2 0

step "the idle watcher finds no idle source: it names swayidle and ends with 1"
start_wayland_zelm --idle 2
expect_exit 5 1
grep -q '^zelm: .*swayidle' "$ZELM_ERR" || fail "no word of swayidle: $(cat "$ZELM_ERR")"
