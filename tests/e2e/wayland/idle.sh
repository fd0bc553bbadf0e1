#!/usr/bin/env bash
# The idle watcher under headless sway, whose idle time comes through KDE's older protocol:
# zelm --idle 2 covers the 1024x768 output after an idle period (not at once), a key ends the
# saver but not the watcher, the saver comes back after the next one, and SIGTERM ends both with 0 within 3 s, with a
# session bus there that never answers. A second watcher on the same compositor refuses to run,
# whichever way WAYLAND_DISPLAY names it; so does one without XDG_RUNTIME_DIR.
. "$(dirname "$0")/wayland_lib.sh"
for tool in grim wtype identify; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
start_sway
start_silent_bus "$WL_HOME/run/bus"

step "the saver is not there at once, and covers the output after the idle period"
start_wayland_zelm --idle 2 --fps
sleep 0.5
shot early
lit early 1024x768+0+0 && fail "the saver came at once"
wait_until $slow shows_scene HEADLESS-1 || fail "no saver"
for name in "$WAYLAND_DISPLAY" "$WL_HOME/run/$WAYLAND_DISPLAY"; do
    WAYLAND_DISPLAY=$name as_user zelm --idle 2 2>"$E2E_TMP/second" && fail "a second watcher ran"
    grep -q "already watching" "$E2E_TMP/second" ||
        fail "the second watcher on $name said: $(cat "$E2E_TMP/second")"
done
as_user env -u XDG_RUNTIME_DIR WAYLAND_DISPLAY="$WL_HOME/run/$WAYLAND_DISPLAY" zelm --idle 2 \
    2>"$E2E_TMP/second" && fail "a watcher ran without XDG_RUNTIME_DIR"
grep -q "XDG_RUNTIME_DIR" "$E2E_TMP/second" || fail "without XDG_RUNTIME_DIR: $(cat "$E2E_TMP/second")"

step "a key ends the saver; the watcher stays"
saver=$(pgrep -P "$ZELM_PID") || fail "the saver is not the watcher's child"
[ "$(tr '\0' ' ' <"/proc/$saver/cmdline")" = "zelm --overlay --fps " ] ||
    fail "the saver runs as: $(tr '\0' ' ' <"/proc/$saver/cmdline")"
type_key
wait_until $slow eval '! kill -0 "$saver" 2>/dev/null' || fail "the key did not end the saver"
zelm_running || fail "the watcher ended with the saver"

step "idle again: the saver is back"
wait_until $slow shows_scene HEADLESS-1 || fail "no saver after the second idle period"
saver=$(pgrep -P "$ZELM_PID") || fail "no saver process"

step "SIGTERM ends the watcher and its saver with 0"
kill -TERM "$ZELM_PID"
expect_exit 3 0
kill -0 "$saver" 2>/dev/null && fail "the saver outlived the watcher"
[ ! -s "$ZELM_ERR" ] || fail "stderr: $(cat "$ZELM_ERR")"
