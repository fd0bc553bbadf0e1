#!/usr/bin/env bash
# zelm at an output's scale under headless sway. The saver on a 2048x1536 output at scale 2 is
# drawn at the output's pixels (at most half of the lit 2x2 pixel blocks one colour, where a
# half-size picture blown up makes them all one), its meter and whole credit line each font
# texel a 2x2 block; a scale changed while it runs is drawn at the next frames; a key ends it
# with 0. The demo full screen at 1024x768 and at 1280x720, its picture scaled, shows the meter
# with no texel of a neighbouring glyph between the letters.
. "$(dirname "$0")/wayland_lib.sh"
for tool in grim wtype swaymsg identify convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
glyphs="$(dirname "$0")/glyph_pixels.py"
credit_line="Zelm - ripples, a spiral of sparks and a circling camera, in real-time OpenGL"
"$ZELM_ASSETS" --png "$E2E_TMP" || fail "zelm-assets wrote no PNG files"
convert "$E2E_TMP/font.png" -alpha extract "$E2E_TMP/ink.png"

# read_text NAME X Y SCALE COUNT: the text at (X, Y) of screenshot NAME, checked pixel by pixel.
read_text() { python3 "$glyphs" text "$E2E_TMP/ink.png" "$WL_HOME/$1.png" "$2" "$3" "$4" "$5"; }
# expect_meter TEXT: TEXT is a frame-rate meter. At a scale that is not whole, a filtered 8 can
# read as B (newer Mesa filters the glyph's left edge a little brighter): both stand for 8.
expect_meter() { [[ "$1" =~ ^fps\ =\ [0-9B]+\.[0-9B]{4}\ *$ ]] || fail "the meter reads \"$1\""; }
# credit_at SCALE Y: a new screenshot shows the credit line at row Y, SCALE pixels a texel.
credit_at() {
    shot "credit$1" &&
        [ "$(read_text "credit$1" 0 "$2" "$1" ${#credit_line} 2>/dev/null)" = "$credit_line" ]
}

start_sway
as_user swaymsg output HEADLESS-1 mode 2048x1536 scale 2 >/dev/null || fail "no scale 2"

step "the saver at scale 2: the output's pixels, the meter's texels 2x2 blocks"
start_wayland_zelm --overlay --fps
wait_until $slow shows_scene HEADLESS-1 || fail "no scene on HEADLESS-1"
sleep 1
shot scale2
share=$(python3 "$glyphs" blocks "$WL_HOME/scale2.png")
echo "lit 2x2 blocks of one colour: $share"
at_least 0.5 "$share" || fail "$share of the lit 2x2 blocks are one colour: blown up"
meter=$(read_text scale2 0 0 2 14) || fail "the meter is not the font's glyphs in 2x2 blocks"
expect_meter "$meter"
type_key
expect_exit 5 0

step "the whole credit line in 2x2 blocks; scale 1 while it runs: one texel a pixel"
wayland_settings 0 0 0  # no water: the credit line over black
start_wayland_zelm --overlay
wait_until $slow credit_at 2 1516 || fail "no credit line in 2x2 blocks: $(
    read_text credit2 0 1516 2 ${#credit_line} 2>&1)"
as_user swaymsg output HEADLESS-1 scale 1 >/dev/null || fail "no scale 1"
wait_until $slow credit_at 1 1526 || fail "no credit line at scale 1: $(
    read_text credit1 0 1526 1 ${#credit_line} 2>&1)"
type_key
expect_exit 5 0

step "the demo full screen, scaled: no stray marks between the meter's letters"
wayland_settings 1 1 0
for mode in 1024x768:0:1.6 1280x720:160:1.5; do
    IFS=: read -r size x scale <<<"$mode"
    as_user swaymsg output HEADLESS-1 mode "$size" >/dev/null || fail "no mode $size"
    start_wayland_zelm
    wait_until $slow shows_scene HEADLESS-1 || fail "no demo at $size"
    sleep 1
    shot "demo-$size"
    meter=$(read_text "demo-$size" "$x" 0 "$scale" 14) || fail "stray marks at $size: $meter"
    expect_meter "$meter"
    type_key
    expect_exit 5 0
done
