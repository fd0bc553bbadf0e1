#!/usr/bin/env bash
# Without a compositor, --wayland and --overlay say why they cannot run. The saver under
# headless sway: zelm --overlay covers a 1024x768 output with the scene (as bright as the X11
# hack's on a 1024x768 screen, the water in the lower half, the credit line on the last rows),
# covers an output that appears while it runs, and a key ends it with exit code 0 within a
# second; so does moving the pointer.
. "$(dirname "$0")/wayland_lib.sh"
[ -n "${ZELM_VIRTUAL_CLICK:-}" ] || { echo "SKIP: ZELM_VIRTUAL_CLICK is not set"; exit 77; }
for tool in grim wtype swaymsg identify; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

step "--wayland and --overlay without a compositor: the reason, exit code 1"
for mode in --wayland --overlay; do
    start_wayland_zelm "$mode"
    expect_exit 5 1
    expect_stderr "zelm: couldn't connect to a Wayland compositor: $(
        )WAYLAND_DISPLAY is unset or names none that runs"
done

start_sway

step "the saver covers HEADLESS-1 with the scene"
start_wayland_zelm --overlay
wait_until $slow shows_scene HEADLESS-1 || fail "no scene on HEADLESS-1"
[ ! -s "$ZELM_ERR" ] || fail "stderr: $(cat "$ZELM_ERR")"
sleep 1
# A loaded machine once gave an all-black shot here, a second after the scene was seen.
wait_until $slow eval 'shot overlay && lit overlay 1024x768+0+0' || fail "no lit shot of the scene"
wayland_mean=$(region_stat "$WL_HOME/overlay.png" 1024x768+0+0 mean)

step "a second output gets a surface of its own"
as_user swaymsg create_output >/dev/null || fail "swaymsg create_output failed"
as_user swaymsg output HEADLESS-2 mode 800x600 >/dev/null || fail "HEADLESS-2 has no 800x600 mode"
wait_until $slow shows_scene HEADLESS-2 || fail "no scene on HEADLESS-2"
zelm_running || fail "zelm ended when an output appeared"

step "a key ends it with 0 within a second"
type_key  # returns once the key is sent
expect_exit 1 0

step "moving the pointer ends it with 0"
start_wayland_zelm --overlay
wait_until $slow shows_scene HEADLESS-1 || fail "no scene on HEADLESS-1"
as_user zelm_virtual_click 1024 768 move || fail "no pointer motion"
expect_exit 2 0

step "as bright as the X11 hack on a 1024x768 screen"
start_xvfb 1024x768x24
seed "$ZELM_DATA" 1 0 0
start_zelm -root
sleep 3
grab "$E2E_TMP/root.png"
x11_mean=$(region_stat "$E2E_TMP/root.png" 1024x768+0+0 mean)
awk -v w="$wayland_mean" -v x="$x11_mean" 'BEGIN { exit !(w > 0.6 * x && w < 1.6 * x) }' ||
    fail "mean brightness $wayland_mean on Wayland, $x11_mean on X11"
echo "mean brightness: Wayland $wayland_mean, X11 $x11_mean"
