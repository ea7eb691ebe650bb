#!/usr/bin/env bash
# Checks what a user's messenger and Windows see of ryx.tpl:
#   check_dll.sh OBJDUMP DLL EXPORTS_LIST
# - exactly the exports of the committed list, undecorated, each underscore
#   alias at the same address as its plain name;
# - imports from Windows system DLLs only: never a MinGW runtime DLL, which
#   no user's machine has.
set -euo pipefail
objdump=$1 dll=$2 expected=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dump=$("$objdump" -p "$dll")

# Export name -> address, from the address table and the name table.
exports=$(awk '
    /^Export Address Table -- / { section = "eat"; next }
    /^\[Ordinal\/Name Pointer\] Table/ { section = "names"; next }
    /^$/ { section = "" }
    section == "eat" && /Export RVA/ { gsub(/[\[\]]/, " "); rva[$1] = $(NF - 2) }
    section == "names" { gsub(/[\[\]]/, " "); print $2, rva[$1] }
' <<<"$dump")

actual_names=$(cut -d' ' -f1 <<<"$exports" | sort)
if [[ "$actual_names" != "$(sort "$expected")" ]]; then
    fail "exports differ from $(basename "$expected"):"
    diff <(sort "$expected") <(echo "$actual_names") || true
fi
while read -r name rva; do
    [[ $name == _* ]] || continue
    plain=$(awk -v n="${name#_}" '$1 == n { print $2 }' <<<"$exports")
    [[ "$rva" == "$plain" ]] || fail "$name is at $rva but ${name#_} is at ${plain:-nowhere}"
done <<<"$exports"

system_dlls='^(kernel32|user32|msvcrt|ntdll|advapi32)\.dll$'
while read -r imported; do
    [[ ${imported,,} =~ $system_dlls ]] || fail "imports $imported, which is not a Windows system DLL"
done < <(awk '/DLL Name:/ { print $3 }' <<<"$dump")

if ((failures)); then
    exit 1
fi
echo "ok: $(wc -l <<<"$exports") exports as listed; imports: $(awk '/DLL Name:/ { printf "%s ", $3 }' <<<"$dump")"
