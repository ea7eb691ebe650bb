#!/usr/bin/env bash
# Changes the project's version in its one place, in a copy of the sources,
# builds the plugin and the package there, and checks that all of them
# carry the new version: PluginInfo's version word, the version resource,
# the package's name and the guides.
#   check_version.sh SOURCE_DIR TOOLCHAIN_FILE BUILD_TYPE OBJDUMP
set -euo pipefail
source_dir=$1 toolchain=$2 build_type=$3 objdump=$4
here=$(cd "$(dirname "$0")" && pwd)
other=$(mktemp -d /tmp/ryx-version-XXXXXX)
trap 'rm -rf "$other"' EXIT

version=2.3.4.5
mkdir "$other/source"
tar -C "$source_dir" --exclude=./build --exclude=./.git -cf - . | tar -C "$other/source" -xf -
sed -i -E "s/^project\(ryx VERSION [0-9.]+ /project(ryx VERSION $version /" "$other/source/CMakeLists.txt"
grep -q "^project(ryx VERSION $version " "$other/source/CMakeLists.txt" ||
    { echo "FAIL: no project(ryx VERSION ...) line to change"; exit 1; }

cmake -S "$other/source" -B "$other/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE="$build_type" -DRYX_BUILD_TESTS=OFF >/dev/null
cmake --build "$other/build" --target ryx >/dev/null
bash "$here/check_release.sh" "$objdump" "$other/build/ryx.tpl" "$version"
bash "$here/check_package.sh" "$other/build" "$version" "$other/unpacked"
