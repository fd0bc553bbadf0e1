#!/usr/bin/env bash
# The README's shell blocks marked `sh` are the ones safe to run anywhere (help texts, a short
# capture): each must run as written from the repository's root and succeed, so a command the
# README shows cannot silently break. Paths into build/linux are read as this build's folder.
# Needs ZELM_SOURCE and ZELM_BUILD.
set -euo pipefail

blocks=$(mktemp -d)
trap 'rm -rf "$blocks"' EXIT
awk -v dir="$blocks" '
    /^```sh$/ { n++; file = sprintf("%s/%02d.sh", dir, n); inside = 1; next }
    /^```/ { inside = 0; next }
    inside { print > file }
' "$ZELM_SOURCE/README.md"

count=$(find "$blocks" -name '*.sh' | wc -l)
[ "$count" -ge 2 ] || { echo "FAIL: only $count runnable blocks in README.md" >&2; exit 1; }
cd "$ZELM_SOURCE"
export TMPDIR="$blocks"  # what a block writes under $TMPDIR goes with the test
for block in "$blocks"/*.sh; do
    sed -i "s#build/linux/#$ZELM_BUILD/#g" "$block"
    echo "== $(head -n 1 "$block")"
    if ! bash -euo pipefail "$block" >"$blocks/out" 2>&1; then
        echo "FAIL: README block $(basename "$block" .sh):" >&2
        cat "$block" "$blocks/out" >&2
        exit 1
    fi
done
echo "readme: $count blocks ran"
