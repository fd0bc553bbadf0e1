#!/usr/bin/env bash
# usage: [OUTPUT=MODE] [SWAP_LOG_LIBRARY=PATH] overlay_cpu.sh ZELM DATA SECONDS [NAME OPTION...]
# zelm --overlay at its defaults (or with the OPTIONs) on a headless sway output (OUTPUT: sway's
# output settings, "1024x768" by default, "2048x1536 scale 2" say): after two seconds of
# warm-up, its user + system time over SECONDS, printed as "NAME CPU_PERCENT" (NAME zelm-overlay
# by default); with SWAP_LOG_LIBRARY (bench/hack's swap_log) also the frames drawn and the CPU
# milliseconds per frame. sway refuses root, so as root sway and zelm run as nobody, from
# copies in a home of their own.
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
printf '%s\n' "output HEADLESS-1 mode ${OUTPUT:-1024x768}" 'xwayland disable' >"$home/sway.conf"
preload=()
if [ -n "${SWAP_LOG_LIBRARY:-}" ]; then
    install -m 644 "$SWAP_LOG_LIBRARY" "$home/bin/swap_log.so"
    preload=(LD_PRELOAD="$home/bin/swap_log.so" ZELM_SWAP_LOG="$home/run/swaps")
fi
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
"${run[@]}" env WAYLAND_DISPLAY="$socket" "${preload[@]}" "$home/bin/zelm" --overlay "${options[@]}" >/dev/null 2>&1 &
zelm_pid=$!

# utime + stime of zelm, in clock ticks; the frames it has swapped (8 bytes each).
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$zelm_pid/stat"; }
frames() { echo $(($(stat -c %s "$home/run/swaps" 2>/dev/null || echo 0) / 8)); }
sleep 2
before=$(ticks) first=$(frames)
sleep "$seconds"
after=$(ticks) last=$(frames)
awk -v name="$name" -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    -v f="$((last - first))" -v counted="${#preload[@]}" 'BEGIN {
        printf "%s %.1f", name, 100 * t / hz / s
        if (counted && f) printf " %d %.2f", f, 1000 * t / hz / f
        else if (counted) printf " 0 nan"
        printf "\n" }'
