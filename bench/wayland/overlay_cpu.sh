#!/usr/bin/env bash
# usage: overlay_cpu.sh ZELM DATA SECONDS [NAME OPTION...]
# zelm --overlay at its defaults (or with the OPTIONs) on a 1024x768 headless sway output: after
# two seconds of warm-up, its user + system time over SECONDS, printed as "NAME CPU_PERCENT"
# (NAME zelm-overlay by default). sway refuses root, so as root sway and zelm run as nobody,
# from copies in a home of their own.
set -euo pipefail
zelm=$1 data=$2 seconds=$3 name=${4:-zelm-overlay}
options=("${@:5}")
home=$(mktemp -d /tmp/zelm-bench-wayland.XXXXXX)
sway_pid= zelm_pid=
cleanup() {
    [ -z "$zelm_pid" ] || kill "$zelm_pid" 2>/dev/null || true
    [ -z "$sway_pid" ] || kill "$sway_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
mkdir -p "$home/bin" "$home/data" "$home/run" "$home/config/Varno/ZELM"
install -m 755 "$zelm" "$home/bin/zelm"
install -m 644 "$data"/*.pcx "$home/data/"
printf '%s\n' "$home/data" >"$home/config/Varno/ZELM/datadir"
printf '%s\n' 'output HEADLESS-1 mode 1024x768' 'xwayland disable' >"$home/sway.conf"
chmod 755 "$home"
chmod 700 "$home/run"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
run=(env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run"
     XDG_CONFIG_HOME="$home/config" XDG_CONFIG_DIRS="$home/xdg" "${as_user[@]}")

"${run[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS=1 sway -c "$home/sway.conf" >/dev/null 2>&1 &
sway_pid=$!
for _ in $(seq 100); do
    ls "$home/run"/wayland-? >/dev/null 2>&1 && break
    sleep 0.1
done
socket=$(basename "$(ls "$home/run"/wayland-? | head -n 1)")
"${run[@]}" env WAYLAND_DISPLAY="$socket" "$home/bin/zelm" --overlay "${options[@]}" >/dev/null 2>&1 &
zelm_pid=$!

# utime + stime of zelm, in clock ticks.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$zelm_pid/stat"; }
sleep 2
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v name="$name" -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    'BEGIN { printf "%s %.1f\n", name, 100 * t / hz / s }'
