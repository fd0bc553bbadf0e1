#!/usr/bin/env bash
# The options every XScreenSaver hack takes, with -root and with -window-id: the meter only
# when asked, the water and the blending switched for one run without touching the store,
# the ignored ones accepted, -help and unknown options; and the text drawn one font texel per
# window pixel at any size. Needs ZELM_ASSETS besides what hack_lib.sh needs.
. "$(dirname "$0")/hack_lib.sh"

credit_line="Zelm - ripples, a spiral of sparks and a circling camera, in real-time OpenGL"

# The font's glyph mask (ink white, the rest black) from the asset maker.
"$ZELM_ASSETS" --png "$E2E_TMP" || fail "zelm-assets wrote no PNG files"
convert "$E2E_TMP/font.png" -alpha extract "$E2E_TMP/ink.png"

# expect_text FILE X Y COUNT: the first COUNT characters of the credit line, drawn at (X, Y) of
# FILE over black, are the font's glyph cells one pixel per texel: every pixel is either dark
# (below 10 %) or the half-bright ink (40 to 60 %), and the lit ones are exactly the ink texels,
# so nothing of a neighbouring cell shows, not even in the cells of the spaces.
expect_text() {
    local file=$1 x=$2 y=$3 count=$4 cells=() i code
    for ((i = 0; i < count; ++i)); do
        printf -v code '%d' "'${credit_line:i:1}"
        cells+=("(" -clone 0 -crop "8x8+$(((code % 16) * 8))+$(((code / 16) * 8))" +repage ")")
    done
    convert "$E2E_TMP/ink.png" "${cells[@]}" -delete 0 +append "$E2E_TMP/want.png"
    convert "$file" -crop "$((count * 8))x8+$x+$y" +repage -colorspace gray "$E2E_TMP/got.png"
    local level bad
    for level in 10 40; do
        convert "$E2E_TMP/got.png" -threshold "$level%" "$E2E_TMP/got-$level.png"
        bad=$(compare -metric AE "$E2E_TMP/want.png" "$E2E_TMP/got-$level.png" null: 2>&1 || true)
        [ "$bad" = 0 ] || fail "$bad pixels of the credit line differ from the font at $level %"
    done
    dark "$E2E_TMP/got.png" "$((count * 8))x8+0+0" ||
        at_least 0.6 "$(region_stat "$E2E_TMP/got.png" "$((count * 8))x8+0+0" maxima)" ||
        fail "credit line pixels brighter than the font's half-bright ink"
}

start_xserver Xvfb -screen 0 1024x768x24 -br
seed "$ZELM_DATA" 1 0 0
store=$(store_listing)

step "--root --no-heightfield at 1024x768: sharp text, black lower half, no meter, store kept"
start_zelm --root --no-heightfield
wait_lit 1024x8+0+758 "no credit line 10 pixels above the bottom edge"
sleep 0.5
f="$E2E_TMP/big.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/hack-1024x768.png"
expect_text "$f" 0 758 ${#credit_line}
# Black but for a few sprites of the spiral, which starts wide and low; the water would fill it.
at_least 0.01 "$(region_stat "$f" 1024x370+0+384 mean)" ||
    fail "the lower half is not black without the water"
dark "$f" 1024x16+0+0 || fail "a frame-rate meter without --fps"
stop_hack
expect_stderr ""
[ "$(store_listing)" = "$store" ] || fail "the store changed"

step "-window-id in a 320x240 window with -fps: the same glyphs, and the meter"
xrefresh -solid black  # wipe the last frame from the root window
start_host 320 240
start_hack -no-heightfield -window-id "$HOST_WIN" -fps
wait_lit 320x8+0+0 "no frame-rate meter with -fps"
wait_lit 320x8+0+230 "no credit line in the small window"
f="$E2E_TMP/small.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/hack-320x240.png"
expect_text "$f" 0 230 40
at_least "$(region_stat "$f" 8x8+0+0 maxima)" 0.4 || fail "the meter's first glyph is not sharp"
stop_hack
expect_stderr ""

step "every option, and every ignored one, with --root and with -window-id"
all=(-delay 20000 --fps -no-fps --heightfield -no-heightfield -alt-blend --no-alt-blend
    --visual 0x21 -install --noinstall -mono --pair)
start_zelm --root "${all[@]}"
wait_lit 1024x8+0+758 "--root with every option"
expect_stderr ""
stop_hack
start_host 300 200
start_hack "${all[@]}" -window-id "$HOST_WIN"
wait_lit 300x8+0+192 "-window-id with every option"
expect_stderr ""
stop_hack
[ "$(store_listing)" = "$store" ] || fail "the store changed"

step "--help and -h: the usage on stdout, exit 0; an unknown option: usage on stderr, exit 1"
for args in "--help" "-h" "--root -help" "/c --help"; do
    # shellcheck disable=SC2086
    out=$("$ZELM" $args 2>"$ZELM_ERR") || fail "$args: exit code $?"
    [[ "$out" == usage:* ]] || fail "$args: no usage on stdout: $out"
    expect_stderr ""
done
for target in "--root" "-window-id $HOST_WIN"; do
    # shellcheck disable=SC2086
    start_zelm $target --fps -speed 3
    expect_exit 5 1
    [ "$(head -n 1 "$ZELM_ERR")" = 'zelm: unknown option "-speed"' ] ||
        fail "$target: $(head -n 1 "$ZELM_ERR")"
    sed -n 2p "$ZELM_ERR" | grep -q '^usage:' || fail "$target: no usage after the error"
done
start_zelm --root --delay fast
expect_exit 5 1
expect_stderr "zelm: --delay needs a number of microseconds from 0 to 10000000"
echo "hack options: passed"
