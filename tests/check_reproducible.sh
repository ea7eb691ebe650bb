#!/usr/bin/env bash
# Builds ryx.tpl once more, from scratch, in another directory, and compares
# it with the given one byte for byte: no timestamp and no build path may
# make two builds of the same sources differ.
#   check_reproducible.sh SOURCE_DIR TOOLCHAIN_FILE BUILD_TYPE DLL
set -euo pipefail
source_dir=$1 toolchain=$2 build_type=$3 dll=$4
other=$(mktemp -d /tmp/ryx-rebuild-XXXXXX)
trap 'rm -rf "$other"' EXIT
cmake -S "$source_dir" -B "$other/somewhere/else" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE="$build_type" -DRYX_BUILD_TESTS=OFF >/dev/null
cmake --build "$other/somewhere/else" --target ryx >/dev/null
if ! cmp "$dll" "$other/somewhere/else/ryx.tpl"; then
    echo "FAIL: a second build of ryx.tpl differs"
    exit 1
fi
echo "ok: a second clean build in $other/somewhere/else gives the same bytes"
