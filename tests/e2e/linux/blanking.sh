#!/usr/bin/env bash
# While the demo window exists, blanking is held off: the X screen saver (its timeout at 2 s
# here) never turns on during a 10-second demo, DPMS is off, and a desktop's screen-saver
# service on the session bus (a stand-in that records its calls) gets one Inhibit; when the demo
# ends, by a key, SIGTERM or failed textures, it gets one UnInhibit, the server's settings are
# as they were, and an idle period turns the saver on again. A bus that never answers holds up
# neither SIGTERM nor the demo.
. "$(dirname "$0")/lib.sh"

for tool in dbus-daemon /usr/bin/python3; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap installs it)"
done
/usr/bin/python3 -c "import dbus, gi" 2>/dev/null || fail "python3-dbus or python3-gi is missing"

BUS_PID=
SERVICE_PID=
SILENT_PID=
blanking_cleanup() {
    for pid in $SERVICE_PID $BUS_PID $SILENT_PID; do kill "$pid" 2>/dev/null || true; done
    e2e_cleanup
}
trap blanking_cleanup EXIT

seed "$ZELM_DATA" 1 0 0
export ZELM_NO_DIALOGS=1
start_xvfb 640x480
xset s 2 0
# Xvfb is built with DPMS but may not offer it; where it does, it must be on to be tested.
if xdpyinfo -queryExtensions | grep -q '^ *DPMS'; then
    has_dpms=1
    xset +dpms
else
    has_dpms=0
    echo "(this X server has no DPMS: only the screen saver is checked)"
fi
saver_settings() { xset q | sed -n '/^Screen Saver:/,/^Colors:/p;/^DPMS/,$p'; }
before=$(saver_settings)
saver() { "$ZELM_SAVER_STATE"; }
saver_is() { [ "$(saver)" = "$1" ]; }
dpms_enabled() { [ "$has_dpms" = 0 ] || xset q | grep -q "DPMS is Enabled"; }
dpms_disabled() { [ "$has_dpms" = 0 ] || xset q | grep -q "DPMS is Disabled"; }

# A private session bus, so that no desktop of this machine takes part.
cat >"$E2E_TMP/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$E2E_TMP</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$E2E_TMP/bus.conf" --nofork --print-address=3 3>"$E2E_TMP/bus" \
    2>"$E2E_TMP/bus.log" &
BUS_PID=$!
wait_until 10 test -s "$E2E_TMP/bus" || fail "the private session bus did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$E2E_TMP/bus")

step "a bus without the service: the demo runs and says nothing"
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 30 screen_lit || fail "no frame reached the screen"
xdotool key space
expect_exit 10 0
expect_stderr ""

step "a bus that never answers: SIGTERM in the wait ends the demo within 3 s; else it goes on"
/usr/bin/python3 "$(dirname "$0")/silent_bus.py" "$E2E_TMP/silent" >"$E2E_TMP/silent.log" &
SILENT_PID=$!
wait_until 10 grep -q ready "$E2E_TMP/silent.log" || fail "the silent bus did not start"
DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/silent" start_zelm
wait_until 10 grep -q connection "$E2E_TMP/silent.log" || fail "zelm did not call the bus"
kill -TERM "$ZELM_PID"
expect_exit 3 0
DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/silent" start_zelm
wait_window 30 Zelm >/dev/null
wait_until 30 screen_lit || fail "no frame reached the screen"
xdotool key space
expect_exit 10 0
expect_stderr "zelm: the session bus does not answer: the desktop's own blanking is not held off"

LOG="$E2E_TMP/calls"
# Debian's python3-dbus belongs to the system's python.
/usr/bin/python3 "$(dirname "$0")/inhibit_service.py" "$LOG" &
SERVICE_PID=$!
wait_until 10 grep -q ready "$LOG" 2>/dev/null || fail "the stand-in service did not start"
calls() { grep -v ready "$LOG" | sed 's/ [0-9]*$//;s/^\(UnInhibit\).*/\1/' | paste -sd, -; }
cookies_match() {
    [ "$(awk '/^Inhibit/ { print $NF }' "$LOG" | paste -sd,)" = \
        "$(awk '/^UnInhibit/ { print $NF }' "$LOG" | paste -sd,)" ]
}

step "a 10-second demo with the saver's timeout at 2 s: the saver stays off, DPMS is off"
xset s reset
start_zelm
wait_window 30 Zelm >/dev/null
wait_until 5 test "$(calls)" = "Inhibit zelm Showing_the_Zelm_demo" || fail "calls: $(calls)"
for _ in $(seq 40); do
    state=$(saver)
    [ "$state" = off ] || fail "the screen saver is $state during the demo"
    dpms_disabled || fail "DPMS is on during the demo"
    sleep 0.25
done

step "a key ends it: UnInhibit once, the settings as they were, an idle period blanks again"
xdotool key space
expect_exit 10 0
expect_stderr ""
[ "$(calls)" = "Inhibit zelm Showing_the_Zelm_demo,UnInhibit" ] || fail "calls: $(calls)"
cookies_match || fail "UnInhibit did not give back the cookie: $(cat "$LOG")"
[ "$(saver_settings)" = "$before" ] || fail "settings were [$before], now [$(saver_settings)]"
xset s reset
wait_until 5 saver_is on || fail "the saver is $(saver) 5 s after a reset with a 2 s timeout"

for ending in SIGTERM textures; do
    step "ended by $ending: one Inhibit, one UnInhibit, DPMS on again"
    : >"$LOG"
    xset s reset
    if [ "$ending" = SIGTERM ]; then
        start_zelm
        wait_window 30 Zelm >/dev/null
        wait_until 5 test -n "$(calls)" || fail "no Inhibit"
        kill -TERM "$ZELM_PID"
        expect_exit 10 0
    else
        seed "$E2E_TMP/nothing-here" 1 0 0
        start_zelm
        expect_exit 10 0
    fi
    [ "$(calls)" = "Inhibit zelm Showing_the_Zelm_demo,UnInhibit" ] || fail "calls: $(calls)"
    cookies_match || fail "UnInhibit did not give back the cookie: $(cat "$LOG")"
    dpms_enabled || fail "DPMS was left off"
    saver_is on && fail "the saver came on during the demo"
done
echo "blanking: passed"
