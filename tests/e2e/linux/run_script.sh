#!/usr/bin/env bash
# scripts/run as a newcomer meets it, in a copy of the checkout with its install and build steps
# stubbed: zelm runs with settings kept in the build folder, and nothing goes to the user's own;
# without a display, /c and /p say that they need one.
. "$(dirname "$0")/lib.sh"

clone="$E2E_TMP/clone"
mkdir -p "$clone/scripts" "$clone/build/linux/app/linux" "$E2E_TMP/bin" "$E2E_TMP/home"
cp "$(dirname "$0")/../../../scripts/run" "$clone/scripts/"
printf '#!/bin/sh\n' | tee "$clone/scripts/bootstrap" >"$E2E_TMP/bin/cmake"
chmod +x "$clone/scripts/bootstrap" "$E2E_TMP/bin/cmake"
ln -s "$ZELM" "$clone/build/linux/app/linux/zelm"
export PATH="$E2E_TMP/bin:$PATH" HOME="$E2E_TMP/home"
unset XDG_CONFIG_HOME

step "no display: /c and /p say that they need one"
for mode in /c /p; do
    (unset DISPLAY; "$clone/scripts/run" "$mode" >/dev/null 2>"$ZELM_ERR") && fail "$mode: exit code 0"
    grep -q "needs an X or Wayland display" "$ZELM_ERR" || fail "$mode: [$(cat "$ZELM_ERR")]"
done

step "/p on a display reads the settings made in the build folder; HOME is left alone"
start_xvfb 640x480
ZELM_NO_DIALOGS=1 "$clone/scripts/run" /p >/dev/null 2>"$ZELM_ERR" || fail "exit code $?"
expect_stderr ""  # unreadable settings would have brought their warning
[ "$(cat "$clone/build/linux/config/Varno/ZELM/datadir")" = "$clone/data" ] || fail "datadir"
[ -z "$(find "$HOME" -mindepth 1)" ] || fail "written under HOME: $(find "$HOME" -mindepth 1)"
echo "run script: passed"
