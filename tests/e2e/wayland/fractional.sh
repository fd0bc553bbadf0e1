#!/usr/bin/env bash
# The saver under headless KWin at scale 1.5, which offers fractional scales with viewports:
# its buffer has the output's 2304x1728 pixels, shown at the surface's 1536x1152, and the meter
# is the font's glyphs, each texel a 2x2 block (the scale rounded).
. "$(dirname "$0")/wayland_lib.sh"
for tool in kwin_wayland dbus-run-session identify convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
"$ZELM_ASSETS" --png "$E2E_TMP" || fail "zelm-assets wrote no PNG files"
convert "$E2E_TMP/font.png" -alpha extract "$E2E_TMP/ink.png"
# A plain copy: the installed kwin_wayland carries a file capability that setpriv cannot exec.
install -m 755 "$(command -v kwin_wayland)" "$(dirname "$0")/kwin_shot.py" "$WL_HOME/bin/"
cat >"$WL_HOME/bin/session" <<'SESSION'
#!/bin/bash
trap 'kill $(jobs -p); wait' EXIT
kwin_wayland --virtual --no-lockscreen --socket wayland-9 --width 1536 --height 1152 \
    --scale 1.5 >"$HOME/compositor.log" 2>&1 &
for _ in $(seq 300); do [ -S "$XDG_RUNTIME_DIR/wayland-9" ] && break; sleep 0.1; done
WAYLAND_DISPLAY=wayland-9 WAYLAND_DEBUG=1 zelm --overlay --fps 2>"$HOME/zelm.log" &
for _ in $(seq 300); do grep -q 'commit()' "$HOME/zelm.log" && break; sleep 0.1; done
sleep 3
kwin_shot.py "$HOME/shot.png"
SESSION
chmod 755 "$WL_HOME/bin/session"
step "the saver at scale 1.5: a 2304x1728 buffer in a 1536x1152 viewport, the meter in 2x2 texels"
user_env
timeout 60 "${USER_ENV[@]}" env QT_QPA_PLATFORM=offscreen KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
    KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 dbus-run-session -- session || true  # judged below
log=$WL_HOME/zelm.log
if ! grep -q 'wl_output[@#][0-9]*\.scale(2)' "$log"; then
    echo "SKIP: this KWin's virtual output is not at scale 1.5 (KWin 6 leaves it at 1)"
    exit 77
fi
grep -q 'create_buffer(.*, 2304, 1728, ' "$log" || fail "no 2304x1728 buffer"
grep -q 'set_destination(1536, 1152)' "$log" || fail "no 1536x1152 viewport"
[ -f "$WL_HOME/shot.png" ] || fail "no screenshot: $(tail -n 3 "$WL_HOME/compositor.log")"
meter=$(python3 "$(dirname "$0")/glyph_pixels.py" text "$E2E_TMP/ink.png" "$WL_HOME/shot.png" \
    0 0 2 14) || fail "the meter is not the font's glyphs in 2x2 blocks: $meter"
[[ "$meter" =~ ^fps\ =\ [0-9]+\.[0-9]{4}\ *$ ]] || fail "the meter reads \"$meter\""
