#!/usr/bin/env bash
# Builds ryx and runs every test: natively under the sanitizers, the core as
# 32-bit code under qemu-i386, the 32-bit Windows build under Wine (and the
# 64-bit one under wine64), then each fuzz target for about 20 seconds when
# clang is there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
presets=(native i686 win32 win64)
if command -v clang++ >/dev/null 2>&1; then
    presets+=(fuzz)
else
    echo "note: clang is not installed, so the fuzz targets are not run"
fi

status=0 total=0 failed=0 skipped=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for preset in "${presets[@]}"; do
    echo "== $preset"
    cmake --workflow --preset "$preset" --fresh 2>&1 | tee "$log" || status=1
    # ctest's summary: "N% tests passed, F tests failed out of T".
    if summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1); then
        total=$((total + $(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")))
        failed=$((failed + $(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$summary")))
        skipped=$((skipped + $(grep -cE '^\s+[0-9]+ - .* \(Skipped\)$' "$log" || true)))
    else
        status=1
    fi
done

if ! wine --version >/dev/null 2>&1; then
    echo "note: 32-bit Wine cannot start on this machine (no 32-bit support in its kernel),"
    echo "      so the win32 tests that run under Wine were skipped; the win64 build ran them."
fi
echo "total: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
exit $status
