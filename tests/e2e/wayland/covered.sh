#!/usr/bin/env bash
# The saver under a locker that holds the input (headless sway 1.7 with a keyboard on the seat,
# swaylock started first, which sway keeps sending frame callbacks under): at most one frame a
# second while covered, with the share of a core it used printed; once the locker ends, its
# normal rate again, and a key ends it with 0.
. "$(dirname "$0")/wayland_lib.sh"
command -v swaylock >/dev/null || { echo "SKIP: swaylock is not installed"; exit 77; }
# From sway 1.8 swaylock locks through ext-session-lock: sway then draws no other client and ends
# the lock only on the password, never on the locker's end, so the test cannot unlock it.
if [[ "$(sway --version)" =~ ([0-9]+)\.([0-9]+) ]] &&
    ((BASH_REMATCH[1] > 1 || BASH_REMATCH[2] >= 8)); then
    echo "SKIP: sway $(sway --version | grep -o '[0-9.]*$') keeps its lock until the password"
    exit 77
fi
start_sway
KEYBOARD_PID= LOCK_PID=
trap 'stop_pid LOCK_PID; stop_pid KEYBOARD_PID; wayland_cleanup' EXIT

# A keyboard on the seat for the whole test: a virtual one that waits ten minutes to type.
user_env
"${USER_ENV[@]}" wtype -s 600000 -k space &
KEYBOARD_PID=$!
"${USER_ENV[@]}" swaylock -c 000080 2>"$E2E_TMP/swaylock.log" &
LOCK_PID=$!
locked() { shot lock 2>/dev/null && at_least "$(region_stat "$WL_HOME/lock.png" 8x8+0+0 b)" 0.4; }
wait_until $slow locked || fail "swaylock did not cover the output: $(cat "$E2E_TMP/swaylock.log")"
# user and system time; said with zelm's last lines when it has ended
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$ZELM_PID/stat" 2>/dev/null ||
        fail "zelm ended while covered: $(grep -v '^\[' "$ZELM_ERR" | tail -n 3)"
}
drawn() { [ "$(commits)" -ge "$1" ]; }

step "covered: at most a frame a second"
start_debug_zelm --overlay
# The first frames make the renderer build its code: the figure is for the frames after.
wait_until $slow drawn 10 || fail "not 10 frames in $slow s"
start=$EPOCHREALTIME ticks=$(cpu_ticks) frames=$(commits)
sleep 10
frames=$(($(commits) - frames)) ticks=$(($(cpu_ticks) - ticks)) end=$EPOCHREALTIME
awk -v f="$frames" -v s="$start" -v e="$end" -v t="$ticks" -v hz="$(getconf CLK_TCK)" 'BEGIN {
    printf "covered: %d frames in %.1f s, %.1f %% of a core\n", f, e - s, 100 * t / hz / (e - s)
    exit !(f <= e - s + 1) }' || fail "more than a frame a second while covered"

step "the locker ends: the normal rate, and a key ends it with 0"
stop_pid LOCK_PID
frames=$(commits)
wait_until 20 drawn $((frames + 40)) || fail "not 40 frames in 20 s"
type_key
expect_exit 2 0
