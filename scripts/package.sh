#!/usr/bin/env bash
# Builds the release package: build/win32/ryx-VERSION-win32.zip, holding
# ryx.tpl, the guides in Polish and English, a sample ryx.config, the
# licence and the changelog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
# CMake's output only if something fails (its note that the tests are not
# built without GoogleTest does not matter here).
quietly() {
    local log
    log=$("$@" 2>&1) || { echo "$log" >&2; return 1; }
}
quietly cmake --preset win32
quietly cmake --build --preset win32 --target ryx
(cd build/win32 && quietly cpack --config CPackConfig.cmake)
zip=$(ls build/win32/ryx-*-win32.zip)
echo "built $(pwd)/$zip:"
cmake -E tar tf "$zip" | sed 's/^/    /'
