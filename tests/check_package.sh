#!/usr/bin/env bash
# Builds the release ZIP into a scratch directory and checks what it holds.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$out" >/dev/null)
zip=$(ls "$out"/ryx-*-win32.zip)
listing=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
if [[ $listing != "README.txt ryx.config ryx.tpl " ]]; then
    echo "FAIL: $(basename "$zip") holds: $listing"
    exit 1
fi
mkdir "$out/unpacked" && (cd "$out/unpacked" && cmake -E tar xf "$zip")
cmp "$out/unpacked/ryx.tpl" "$build/ryx.tpl"
grep -q '^recvmax=' "$out/unpacked/ryx.config"
echo "ok: $(basename "$zip") holds $listing"
