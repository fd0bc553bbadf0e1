# Shared helpers for the tests of zelm under a headless Wayland compositor (sway, weston). sway
# refuses to run as root, so as root the compositor, zelm and every tool that talks to the
# compositor (grim, wtype, swaymsg, swayidle) run as nobody, with a home of their own that holds
# copies of zelm and its data, the settings and the runtime folder. Needs ZELM and ZELM_DATA.
. "$(dirname "$0")/../linux/lib.sh"

as_nobody=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || { echo "SKIP: setpriv is not installed"; exit 77; }
    as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

WL_HOME=$(mktemp -d /tmp/zelm-wayland.XXXXXX)
mkdir -p "$WL_HOME/bin" "$WL_HOME/data" "$WL_HOME/run" "$WL_HOME/config/Varno/ZELM" \
    "$WL_HOME/xdg"
install -m 755 "$ZELM" "$WL_HOME/bin/zelm"
[ -z "${ZELM_VIRTUAL_CLICK:-}" ] || install -m 755 "$ZELM_VIRTUAL_CLICK" "$WL_HOME/bin/"
install -m 644 "$ZELM_DATA"/*.pcx "$WL_HOME/data/"
# wayland_settings HEIGHTFIELD FULLSCREEN ALT_BLEND: the stored settings, with our data.
wayland_settings() {
    local key="$WL_HOME/config/Varno/ZELM"
    printf '%s\n' "$WL_HOME/data" >"$key/datadir"
    printf '%s\n' "$1" >"$key/use_heightfield"
    printf '%s\n' "$2" >"$key/fullscreen"
    printf '%s\n' "$3" >"$key/use_alt_blend"
    [ ${#as_nobody[@]} -eq 0 ] || chown -R nobody:nogroup "$key"
}
wayland_settings 1 0 0
chmod 755 "$WL_HOME"
chmod 700 "$WL_HOME/run"
[ ${#as_nobody[@]} -eq 0 ] || chown -R nobody:nogroup "$WL_HOME"
# The deadline of a wait for what comes by itself (a configure, a frame, a saver's start, an
# idle period): on a loaded machine each can take many seconds, and every wait ends as soon as
# its event is there.
slow=30
COMPOSITOR_PID=
BUS_PID=
SILENT_PID=
WAYLAND_DISPLAY=
SWAYSOCK=

wayland_cleanup() {
    local pid
    for pid in $COMPOSITOR_PID $BUS_PID $SILENT_PID; do
        kill "$pid" 2>/dev/null || true
        kill -CONT "$pid" 2>/dev/null || true  # a bus a test stopped
        wait "$pid" 2>/dev/null || true
    done
    e2e_cleanup
    rm -rf "$WL_HOME"
}
trap wayland_cleanup EXIT

# user_env: USER_ENV becomes the command prefix that runs a command as the compositor's user, in
# its environment alone (an empty SWAYSOCK would be taken for the socket's name). A command
# started in the background with it keeps its pid in $!, since env and setpriv exec.
user_env() {
    USER_ENV=(env -i PATH="$WL_HOME/bin:/usr/bin:/bin" HOME="$WL_HOME"
        XDG_RUNTIME_DIR="$WL_HOME/run" XDG_CONFIG_HOME="$WL_HOME/config"
        XDG_CONFIG_DIRS="$WL_HOME/xdg" ZELM_NO_DIALOGS=1
        ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY=$WAYLAND_DISPLAY} ${SWAYSOCK:+SWAYSOCK=$SWAYSOCK}
        ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} "${as_nobody[@]}")
}

# as_user COMMAND...: runs COMMAND as the compositor's user and waits for it.
as_user() {
    user_env
    "${USER_ENV[@]}" "$@"
}

socket_ready() { ls "$WL_HOME/run"/wayland-? >/dev/null 2>&1; }

# start_sway: headless sway with one 1024x768 output, HEADLESS-1, black; no Xwayland.
start_sway() {
    command -v sway >/dev/null || { echo "SKIP: sway is not installed"; exit 77; }
    # A black background: whatever is lit is ours.
    printf '%s\n' 'output HEADLESS-1 mode 1024x768' 'output * bg #000000 solid_color' \
        'default_border none' 'xwayland disable' >"$WL_HOME/sway.conf"
    user_env
    "${USER_ENV[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS=1 sway -c "$WL_HOME/sway.conf" >"$E2E_TMP/compositor.log" 2>&1 &
    COMPOSITOR_PID=$!
    sway_ready() { socket_ready && ls "$WL_HOME/run"/sway-ipc.*.sock >/dev/null 2>&1; }
    wait_until 10 sway_ready || fail "sway did not start: $(tail -n 5 "$E2E_TMP/compositor.log")"
    WAYLAND_DISPLAY=$(basename "$(ls "$WL_HOME/run"/wayland-? | head -n 1)")
    SWAYSOCK=$(ls "$WL_HOME/run"/sway-ipc.*.sock | head -n 1)
}

# start_weston: headless weston at 1024x768, which has no layer-shell and no seat.
start_weston() {
    command -v weston >/dev/null || { echo "SKIP: weston is not installed"; exit 77; }
    user_env
    "${USER_ENV[@]}" weston --backend=headless-backend.so --use-pixman --socket=wayland-5 --width=1024 \
        --height=768 --idle-time=0 >"$E2E_TMP/compositor.log" 2>&1 &
    COMPOSITOR_PID=$!
    wait_until 10 socket_ready || fail "weston did not start: $(tail -n 5 "$E2E_TMP/compositor.log")"
    WAYLAND_DISPLAY=wayland-5
}

# start_mutter [SIZE...]: GNOME's compositor, headless, with a virtual monitor of each SIZE
# (one 1024x768 by default), on a session bus of its own at $WL_HOME/run/bus, where zelm finds
# it through XDG_RUNTIME_DIR.
start_mutter() {
    command -v mutter >/dev/null || { echo "SKIP: mutter is not installed"; exit 77; }
    local bus="unix:path=$WL_HOME/run/bus" monitors=() size
    for size in "${@:-1024x768}"; do monitors+=(--virtual-monitor "$size"); done
    user_env
    "${USER_ENV[@]}" dbus-daemon --session --nofork --address="$bus" >"$E2E_TMP/bus.log" 2>&1 &
    BUS_PID=$!
    wait_until 10 test -S "$WL_HOME/run/bus" || fail "no session bus: $(cat "$E2E_TMP/bus.log")"
    "${USER_ENV[@]}" env DBUS_SESSION_BUS_ADDRESS="$bus" mutter \
        --headless --wayland --no-x11 --wayland-display wayland-7 "${monitors[@]}" \
        >"$E2E_TMP/compositor.log" 2>&1 &
    COMPOSITOR_PID=$!
    mutter_up() { socket_ready || ! kill -0 "$COMPOSITOR_PID" 2>/dev/null; }
    wait_until 20 mutter_up || fail "mutter did not start: $(tail -n 5 "$E2E_TMP/compositor.log")"
    if ! socket_ready; then
        echo "SKIP: headless mutter cannot run here: $(tail -n 3 "$E2E_TMP/compositor.log")"
        exit 77
    fi
    WAYLAND_DISPLAY=wayland-7
}

# start_silent_bus SOCKET: a session bus at SOCKET, as the compositor's user, that takes
# connections and never answers; $E2E_TMP/silent.log gets a line at each connection.
start_silent_bus() {
    user_env
    "${USER_ENV[@]}" /usr/bin/python3 "$(dirname "$0")/../linux/silent_bus.py" "$1" \
        >"$E2E_TMP/silent.log" &
    SILENT_PID=$!
    wait_until 10 grep -q ready "$E2E_TMP/silent.log" || fail "the silent bus did not start"
}

# start_wayland_zelm ARGS...: zelm as the compositor's user; its stderr in ZELM_ERR.
start_wayland_zelm() {
    ZELM_RC=
    : >"$ZELM_ERR"
    user_env
    "${USER_ENV[@]}" "$WL_HOME/bin/zelm" "$@" 2>"$ZELM_ERR" &
    ZELM_PID=$!
}

# start_debug_zelm ARGS...: the same, with the protocol log (WAYLAND_DEBUG) in ZELM_ERR too.
start_debug_zelm() {
    ZELM_RC=
    : >"$ZELM_ERR"
    user_env
    "${USER_ENV[@]}" env WAYLAND_DEBUG=1 "$WL_HOME/bin/zelm" "$@" 2>"$ZELM_ERR" &
    ZELM_PID=$!
}

# commits: the surface commits in the protocol log, which names an object wl_surface@3
# (libwayland 1.21) or wl_surface#3 (1.23).
commits() { grep -c 'wl_surface[@#][0-9]*\.commit()' "$ZELM_ERR" || true; }

# drawn_full_screen FRAMES: the protocol log shows a 1024x768 configure and FRAMES commits.
drawn_full_screen() {
    grep -q 'xdg_toplevel[@#][0-9]*\.configure(1024, 768' "$ZELM_ERR" && [ "$(commits)" -ge "$1" ]
}

# shot NAME [OUTPUT]: a screenshot of OUTPUT (HEADLESS-1) as $WL_HOME/NAME.png.
shot() {
    as_user grim -o "${2:-HEADLESS-1}" "$WL_HOME/$1.png" || fail "grim could not take $1"
    [ -z "${E2E_ARTIFACTS:-}" ] || cp "$WL_HOME/$1.png" "$E2E_ARTIFACTS/wayland-$1.png"
}

# lit NAME GEOMETRY: some pixel of that region of the screenshot is not black.
lit() { at_least "$(region_stat "$WL_HOME/$1.png" "$2" maxima)" 0.2; }

# shows_scene OUTPUT: the scene is on OUTPUT: the water in its lower half, text on its last rows.
shows_scene() {
    shot scene "$1" 2>/dev/null || return 1
    local size
    size=$(identify -format '%wx%h' "$WL_HOME/scene.png")
    local w=${size%x*} h=${size#*x}
    lit scene "${w}x$((h / 2))+0+$((h / 2))" && lit scene "${w}x12+0+$((h - 12))"
}

# type_key: a key from a new virtual keyboard, after the 1 s that a client needs to bind it.
type_key() { as_user wtype -s 1000 -k space; }
