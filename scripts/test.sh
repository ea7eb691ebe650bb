#!/usr/bin/env bash
# Builds ryx and runs every test: natively under the sanitizers, the 32-bit
# Windows build under Wine (and the 64-bit one under wine64), then each
# fuzz target for about 20 seconds when clang is there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
status=0
presets=(native win32 win64)
if command -v clang++ >/dev/null 2>&1; then
    presets+=(fuzz)
else
    echo "note: clang is not installed, so the fuzz targets are not run"
fi
for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --workflow --preset "$preset" --fresh || status=1
done
if ! wine --version >/dev/null 2>&1; then
    echo "note: 32-bit Wine cannot start on this machine (no 32-bit support in its kernel),"
    echo "      so the win32 tests that run under Wine were skipped; the win64 build ran them."
fi
exit $status
