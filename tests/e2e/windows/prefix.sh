#!/usr/bin/env bash
# Makes (create) or removes (remove) the Wine prefix that every Wine test of one run shares;
# making it takes Wine a while, so it is done once.
set -euo pipefail
export WINEPREFIX="$ZELM_WINEPREFIX"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
unset DISPLAY

if [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
if [ "${1:-}" = create ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    timeout 120 wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot -i failed" >&2; exit 1; }
    timeout 60 wineserver -w || true
    [ -f "$WINEPREFIX/system.reg" ] || { echo "FAIL: wineboot made no prefix" >&2; exit 1; }
    echo "Wine prefix ready: $WINEPREFIX"
fi
