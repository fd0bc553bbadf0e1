#!/usr/bin/env bash
# The saver on GNOME (headless mutter, no layer-shell) with two monitors: a full-screen window on
# each, configured at its monitor's size, and both drawn (read from the protocol log: mutter has
# no screenshots for grim). A second saver meanwhile ends at once with 0 and says why, so that
# one key brings the desktop back; SIGTERM ends the first with 0.
. "$(dirname "$0")/wayland_lib.sh"
start_mutter 1024x768 800x600

# surfaces_drawn FRAMES: two surfaces have each committed FRAMES frames.
surfaces_drawn() {
    [ "$(grep -o 'wl_surface@[0-9]*\.commit()' "$ZELM_ERR" | sort | uniq -c |
        awk -v n="$1" '$1 >= n' | wc -l)" -ge 2 ]
}
configured() { grep -q "xdg_toplevel@[0-9]*\.configure($1, $2," "$ZELM_ERR"; }

step "a full-screen window on each monitor, each drawn"
start_debug_zelm --overlay
wait_until $slow surfaces_drawn 10 || fail "not two surfaces with 10 frames each"
configured 1024 768 || fail "no window configured at 1024x768"
configured 800 600 || fail "no window configured at 800x600"
first_pid=$ZELM_PID first_err=$ZELM_ERR

step "a second saver ends at once with 0 and says why"
ZELM_ERR="$E2E_TMP/second"
start_wayland_zelm --overlay
expect_exit 5 0
expect_stderr "zelm: another zelm --overlay is already showing in this session"

ZELM_PID=$first_pid ZELM_ERR=$first_err
zelm_running || fail "the first saver ended"
kill -TERM "$ZELM_PID"
expect_exit 5 0
