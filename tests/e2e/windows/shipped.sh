#!/usr/bin/env bash
# The zelm.scr that ships: stripped and small, without any of the test build's fault injection,
# and with a version resource that Windows reads as product Zelm at the project's version.
. "$(dirname "$0")/wine_lib.sh"
[ -f "$ZELM_VERSION_INFO" ] || fail "$ZELM_VERSION_INFO is missing: build the windows preset first"

step "at most 200 KB, no symbols"
size=$(stat -c %s "$ZELM_SCR")
((size <= 200 * 1024)) || fail "zelm.scr has $size bytes"
symbols=$(x86_64-w64-mingw32-nm "$ZELM_SCR" 2>&1 || true)
grep -q "no symbols" <<<"$symbols" || fail "zelm.scr has symbols: $(head -n 3 <<<"$symbols")"

step "none of the test build's fault injection or probes"
# The test build holds these texts, so the check cannot pass by looking for the wrong ones.
for text in ZELM_FAULT ZELM_PROBE "probe %s" "window destroyed" "display: restored"; do
    grep -qaF "$text" "$ZELM_SCR_FAULTS" || fail "the test build lacks \"$text\""
    grep -qaF "$text" "$ZELM_SCR" && fail "zelm.scr holds \"$text\""
done

step "the version resource as Windows reads it"
version=$(WINEDEBUG=-all wine "$ZELM_VERSION_INFO" "$(windows_path "$ZELM_SCR")" | tr -d '\r')
expected=$(lines "ProductName: Zelm" "FileDescription: Zelm OpenGL screen saver" \
    "FileVersion: $ZELM_VERSION" "ProductVersion: $ZELM_VERSION" "FixedFileVersion: $ZELM_VERSION.0")
[ "$version" = "$expected" ] || fail "version resource [$version], expected [$expected]"
echo "shipped zelm.scr: passed"
