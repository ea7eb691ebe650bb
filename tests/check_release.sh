#!/usr/bin/env bash
# Checks ryx.tpl as Windows and its users' security tools see it:
#   check_release.sh OBJDUMP DLL
# ASLR, DEP and no SEH; no link timestamp; a version resource with file
# version 0.1.5.1 and product name ryx; at most 16 KiB.
set -euo pipefail
objdump=$1 dll=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dump=$("$objdump" -p "$dll")
for flag in DYNAMIC_BASE NX_COMPAT NO_SEH; do
    grep -qE "^\s+$flag\$" <<<"$dump" || fail "DllCharacteristics lacks $flag"
done
grep -qE '^Time/Date\s+Thu Jan  1 00:00:00 1970' <<<"$dump" || fail "the link time is recorded"

size=$(stat -c %s "$dll")
((size <= 16384)) || fail "$size bytes, more than 16 KiB"

hex=$(od -An -tx1 -v "$dll" | tr -d ' \n')
utf16() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../&00/g'; }
# VS_FIXEDFILEINFO: signature, structure version 1.0, then file and product
# versions 0.1.5.1 as two 32-bit words each (0x00000001, 0x00010005 is 0.1 / 5.1).
[[ $hex == *bd04effe00000100010000000100050001000000010005* ]] ||
    fail "no version resource with file and product version 0.1.5.1"
# A string's name and value are UTF-16, the value aligned to 32 bits.
string_value() { [[ $hex =~ $(utf16 "$1")0000(0000)?$(utf16 "$2")0000 ]]; }
string_value ProductName ryx || fail "no ProductName ryx"
string_value FileVersion 0.1.5.1 || fail "no FileVersion 0.1.5.1"

((failures == 0)) || exit 1
echo "ok: $size bytes; DYNAMIC_BASE NX_COMPAT NO_SEH; no timestamp; version 0.1.5.1"
