#!/usr/bin/env bash
# zelm as an XScreenSaver hack in a window it does not own: it draws at the window's size and
# follows its resizes, input never ends it, it shows nothing of its own, and a SIGTERM ends it
# at once with the display as it was. Errors are one "zelm: " line on stderr and exit code 1.
. "$(dirname "$0")/hack_lib.sh"

# -br: a black root window, so that a pixel outside the host's window shows what leaked there.
start_xserver Xvfb -screen 0 1024x768x24 -br

step "an empty store: no warning, no dialog, the scene drawn with the default settings"
start_host 400 300
before=$(root_children)
start_hack -window-id "$HOST_WIN" -fps
wait_lit 400x8+0+0 "no frame-rate meter at the top of the window"
wait_lit 400x8+0+292 "no credit line at the bottom of the window"
f="$E2E_TMP/first.png"
grab "$f"
at_least "$(region_stat "$f" 400x100+0+200 'mean.b-mean.r')" 0.03 || fail "no blue mesh below"
dark "$f" 624x768+400+0 || fail "pixels lit right of the window"
dark "$f" 400x468+0+300 || fail "pixels lit below the window"
[ "$(root_children)" = "$before" ] || fail "zelm opened a window of its own"
expect_stderr ""

step "only StructureNotify and KeyPress are added to the window's event masks"
own=$("$ZELM_HACK_HOST" own-mask)
all=$("$ZELM_HACK_HOST" events "$HOST_WIN")
# StructureNotifyMask 0x20000, KeyPressMask 0x1
[ $((all)) -eq $((own | 0x20000 | 0x1)) ] || fail "event masks $all, expected $own | 0x20001"

step "key presses, clicks and mouse moves end nothing; frames go on"
press "$HOST_WIN" x Escape space
xdotool mousemove 10 10 mousemove 200 150 click 1 mousemove 300 20 click 3
sleep 0.5
zelm_running || fail "input ended the hack"
grab "$E2E_TMP/a.png"
sleep 0.3
grab "$E2E_TMP/b.png"
changed=$(compare -metric AE "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 || true)
at_least "$changed" 100 || fail "the picture stood still after the input ($changed pixels changed)"

step "a resize: the picture fills the new size and shape"
xdotool windowsize "$HOST_WIN" 900 500
wait_lit 900x8+0+492 "no credit line at the new bottom edge"
sleep 0.3
f="$E2E_TMP/resized.png"
grab "$f"
[ -z "${E2E_ARTIFACTS:-}" ] || cp "$f" "$E2E_ARTIFACTS/hack-resized.png"
at_least "$(region_stat "$f" 900x8+0+0 maxima)" 0.3 || fail "no frame-rate meter after the resize"
at_least "$(region_stat "$f" 300x100+600+380 mean)" 0.04 || fail "no mesh in the new lower right"
at_least "$(region_stat "$f" 300x100+0+380 mean)" 0.04 || fail "no mesh in the lower left"
dark "$f" 124x768+900+0 || fail "pixels lit right of the resized window"
dark "$f" 1024x268+0+500 || fail "pixels lit below the resized window"
xdotool windowsize "$HOST_WIN" 320 400
wait_lit 320x8+0+392 "no credit line after a second resize to a narrow shape"
zelm_running || fail "a resize ended the hack"
expect_stderr ""

step "SIGTERM: ends at once; the window, the screen and the display mode are as they were"
geometry=$(xwininfo -id "$HOST_WIN" | grep -E 'Width|Height|Absolute')
screen=$(xdpyinfo | grep dimensions)
modes=$(xrandr 2>/dev/null || true)
stop_hack
[ "$(xwininfo -id "$HOST_WIN" | grep -E 'Width|Height|Absolute')" = "$geometry" ] ||
    fail "the host's window changed"
[ "$(xdpyinfo | grep dimensions)" = "$screen" ] || fail "the screen changed"
[ "$(xrandr 2>/dev/null || true)" = "$modes" ] || fail "the display mode changed"
expect_stderr ""

# run_in_new_window WHAT ARGS...: a fresh black window, zelm started with ARGS (where HOST_WIN
# stands for the window's id in hex, HOST_DEC in decimal) must draw in it.
run_in_new_window() {
    local what=$1
    shift
    start_host 300 200
    local args=("${@//HOST_WIN/$HOST_WIN}")
    args=("${args[@]//HOST_DEC/$((HOST_WIN))}")
    start_hack "${args[@]}"
    wait_lit 300x8+0+192 "$what"
    expect_stderr ""
    stop_hack
}

step "the window id in decimal, with --window-id, and from \$XSCREENSAVER_WINDOW"
run_in_new_window "-window-id in decimal" -window-id HOST_DEC
run_in_new_window "--window-id in hex" --window-id HOST_WIN
export XSCREENSAVER_WINDOW=
run_in_new_window "-window-id with an empty \$XSCREENSAVER_WINDOW" -window-id HOST_WIN
start_host 300 200
export XSCREENSAVER_WINDOW="$HOST_WIN"
start_hack
wait_lit 300x8+0+192 "\$XSCREENSAVER_WINDOW without arguments"
stop_hack
start_host 300 200
export XSCREENSAVER_WINDOW="$HOST_WIN"
start_hack -root
wait_lit 300x8+0+192 "-root with \$XSCREENSAVER_WINDOW"
f="$E2E_TMP/variable.png"
grab "$f"
dark "$f" 724x768+300+0 || fail "-root with \$XSCREENSAVER_WINDOW drew outside that window"
stop_hack
unset XSCREENSAVER_WINDOW

step "settings: a store with the data directory alone is enough; fullscreen is ignored"
mkdir -p "$KEY"
printf '%s\n' "$ZELM_DATA" >"$KEY/datadir"
printf '1\n' >"$KEY/fullscreen"
start_host 300 200
start_zelm -window-id "$HOST_WIN"  # from here, not from the data directory
wait_lit 300x8+0+192 "a store with datadir and fullscreen 1"
[ "$(xdpyinfo | grep dimensions)" = "$screen" ] || fail "the screen changed"
expect_stderr ""
stop_hack

step "the owner destroys the window: zelm ends quietly with 0"
start_host 300 200
start_zelm -window-id "$HOST_WIN"
wait_lit 300x8+0+192 "before the window is destroyed"
"$ZELM_HACK_HOST" destroy "$HOST_WIN"
expect_exit 5 0
expect_stderr ""

step "errors: one \"zelm: \" line, exit code 1, no dialog"
before=$(root_children)
start_zelm -window-id 0xzz
expect_exit 5 1
expect_stderr 'zelm: not a window id: "0xzz"'
start_zelm --window-id
expect_exit 5 1
expect_stderr "zelm: --window-id needs a window id"
start_zelm -window-id 0x7fffff3
expect_exit 10 1
expect_stderr "zelm: no window 0x7fffff3 on this display"
XSCREENSAVER_WINDOW=12x start_zelm -root
expect_exit 5 1
expect_stderr 'zelm: XSCREENSAVER_WINDOW is not a window id: "12x"'
start_zelm -root -speed 10000
expect_exit 5 1
[ "$(head -n 1 "$ZELM_ERR")" = 'zelm: unknown option "-speed"' ] || fail "$(cat "$ZELM_ERR")"
(unset DISPLAY; "$ZELM" -root 2>"$ZELM_ERR") && fail "exit code 0 without a display"
expect_stderr "zelm: couldn't open the X display: DISPLAY is not set"
[ "$(root_children)" = "$before" ] || fail "an error opened a window"

step "a window whose visual has no double-buffered OpenGL is refused"
if start_host 200 100 nogl; then
    start_zelm -window-id "$HOST_WIN"
    expect_exit 10 1
    grep -qE "^zelm: the window's visual 0x[0-9a-f]+ has no double-buffered RGBA OpenGL$" \
        "$ZELM_ERR" || fail "no clear message: $(cat "$ZELM_ERR")"
else
    echo "   (skipped: this server lists no visual without double-buffered OpenGL)"
fi

step "an input-only window is refused at once, in one line"
start_host 200 100 inputonly
start_zelm -window-id "$HOST_WIN"
expect_exit 2 1
expect_stderr "zelm: window $HOST_WIN takes input only: there is nothing to draw into"

step "missing data files: said on stderr, exit code 1, no frame, the window left alone"
seed "$E2E_TMP/nowhere" 1 0 0
start_host 300 200
before=$(root_children)
start_zelm -window-id "$HOST_WIN"
expect_exit 10 1
expect_stderr "zelm: \"$E2E_TMP/nowhere/particle.pcx\": No such file or directory
zelm: Error loading texture
zelm: \"$E2E_TMP/nowhere/font.pcx\": No such file or directory
zelm: Error loading texture
zelm: \"$E2E_TMP/nowhere/height.pcx\": No such file or directory
zelm: Error loading texture
zelm: the scene could not be set up from the data in \"$E2E_TMP/nowhere\""
f="$E2E_TMP/nodata.png"
grab "$f"
dark "$f" 300x200+0+0 || fail "a frame was drawn without the data files"
xwininfo -id "$HOST_WIN" >/dev/null 2>&1 || fail "the host's window is gone"
[ "$(root_children)" = "$before" ] || fail "a window was opened or destroyed"
echo "hack window: passed"
