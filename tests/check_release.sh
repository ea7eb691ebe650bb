#!/usr/bin/env bash
# Checks ryx.tpl as Windows and its users' security tools see it:
#   check_release.sh OBJDUMP DLL VERSION
# ASLR, DEP and no SEH; no link timestamp; PluginInfo's version word and a
# version resource for VERSION (A.B.C.D), product name ryx; at most 8 KiB.
set -euo pipefail
objdump=$1 dll=$2 version=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dump=$("$objdump" -p "$dll")
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH; do
    grep -qE "^\s+$flag\$" <<<"$dump" || fail "DllCharacteristics lacks $flag"
done
grep -qE '^Time/Date\s+Thu Jan  1 00:00:00 1970' <<<"$dump" || fail "the link time is recorded"

size=$(stat -c %s "$dll")
((size <= 8192)) || fail "$size bytes, more than 8 KiB"

hex=$(od -An -tx1 -v "$dll" | tr -d ' \n')
utf16() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../&00/g'; }
# VS_FIXEDFILEINFO: signature, structure version 1.0, then the file and the
# product version, each as two little-endian 32-bit words, A.B and C.D.
IFS=. read -r a b c d <<<"$version"
le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
words=$(le32 $((a << 16 | b)))$(le32 $((c << 16 | d)))
[[ $hex == *bd04effe00000100$words$words* ]] ||
    fail "no version resource with file and product version $version"
# PluginInfo: size 52, the name's address, the version word (a component
# per byte, most significant first), the second version word 0x00010004.
[[ $hex =~ 34000000[0-9a-f]{8}$(le32 $((a << 24 | b << 16 | c << 8 | d)))04000100 ]] ||
    fail "no PluginInfo with version word for $version"
# A string's name and value are UTF-16, the value aligned to 32 bits.
string_value() { [[ $hex =~ $(utf16 "$1")0000(0000)?$(utf16 "$2")0000 ]]; }
string_value ProductName ryx || fail "no ProductName ryx"
string_value FileVersion "$version" || fail "no FileVersion $version"
string_value ProductVersion "$version" || fail "no ProductVersion $version"

((failures == 0)) || exit 1
echo "ok: $size bytes; DYNAMIC_BASE NX_COMPAT NO_SEH; no timestamp; version $version"
