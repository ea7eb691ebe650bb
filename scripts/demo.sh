#!/usr/bin/env bash
# Builds ryx.tpl and says what was built.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target ryx >/dev/null
echo "Built $(pwd)/build/win32/ryx.tpl ($(stat -c %s build/win32/ryx.tpl) bytes)"
