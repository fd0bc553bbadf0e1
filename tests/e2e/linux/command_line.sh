#!/usr/bin/env bash
# The Linux command line beyond the run modes: --version, and an unknown option refused with the
# usage before anything is opened, whatever the mode.
. "$(dirname "$0")/lib.sh"

seed "$ZELM_DATA" 1 0 0
export ZELM_NO_DIALOGS=1

step "--version: the name and version, exit code 0"
version=$("$ZELM" --version 2>"$ZELM_ERR") || fail "exit code $?"
[[ "$version" =~ ^zelm\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "printed \"$version\""
expect_stderr ""

start_xvfb 640x480
step "unknown options: the usage on stderr, exit code 1, no window"
for args in "--bogus" "-window" "-s" "/c -x" "-root -speed 3"; do
    status=0
    timeout 10 "$ZELM" $args >/dev/null 2>"$ZELM_ERR" || status=$?
    [ "$status" -eq 1 ] || fail "zelm $args: exit code $status"
    grep -q '^usage: zelm ' "$ZELM_ERR" || fail "zelm $args: no usage: $(cat "$ZELM_ERR")"
done
echo "command line: passed"
