#!/usr/bin/env bash
# Builds the release package: build/win32/ryx-VERSION-win32.zip, holding
# ryx.tpl, the guides in Polish and English, a sample ryx.config, the
# licence and the changelog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh package
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target ryx >/dev/null
(cd build/win32 && cpack --config CPackConfig.cmake >/dev/null)
zip=$(ls build/win32/ryx-*-win32.zip)
echo "built $(pwd)/$zip:"
cmake -E tar tf "$zip" | sed 's/^/    /'
