#!/usr/bin/env bash
# Reads the 32-bit plugin's machine code, through a copy linked with its
# symbols kept, for what only the 32-bit build can get wrong and no test on
# a machine without 32-bit Windows programs would see:
#   check_code.sh OBJDUMP NM RYX_TPL RYX_WITH_SYMBOLS
# - the copy's code is the shipped DLL's, byte for byte;
# - the image's entry point is DllEntryPoint, which returns as stdcall with
#   three arguments (ret $0xc); the exports and the hook return as cdecl;
# - only the SSE2 build of the filters uses SSE registers or any instruction
#   beyond i686, and it aligns the stack itself before it uses an aligned
#   stack slot (callers promise only 4-byte alignment).
set -euo pipefail
objdump=$1 nm=$2 dll=$3 symbols=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

text_of() { "$objdump" -s -j .text "$1" | tail -n +4 | cut -c1-45; }
cmp -s <(text_of "$dll") <(text_of "$symbols") || fail "$(basename "$symbols") holds other code than $(basename "$dll")"

# Entry point: an RVA in the header, the routine's address in the symbols.
header=$("$objdump" -p "$symbols")
entry_rva=$(awk '/^AddressOfEntryPoint/ { print $2 }' <<<"$header")
image_base=$(awk '/^ImageBase/ { print $2 }' <<<"$header")
entry_symbol=$("$nm" "$symbols" | awk '$3 == "_DllEntryPoint@12" { print $1 }')
if ((16#$entry_rva == 0)); then
    fail "the image has no entry point, so DllEntryPoint never runs"
elif [[ -z $entry_symbol ]]; then
    fail "no stdcall _DllEntryPoint@12 in the image"
elif ((16#$image_base + 16#$entry_rva != 16#$entry_symbol)); then
    fail "the entry point is not DllEntryPoint"
fi

disassembly=$("$objdump" -d --no-show-raw-insn "$symbols")

# "function<TAB>instruction" for every instruction of the named functions.
instructions() {
    awk '
        /^[0-9a-f]+ <.*>:$/ { name = $2; gsub(/[<>:]/, "", name); next }
        /^ *[0-9a-f]+:\t/ { sub(/^ *[0-9a-f]+:\t/, ""); print name "\t" $0 }
    ' <<<"$disassembly"
}
all=$(instructions)

# How each function returns: "ret" alone (cdecl) or "ret $0xN" (callee pops).
returns_of() { awk -F'\t' -v f="$1" '$1 == f && $2 ~ /^ret/ { sub(/ +$/, "", $2); print $2 }' <<<"$all" | sort -u; }
[[ $(returns_of '_DllEntryPoint@12') == 'ret    $0xc' ]] ||
    fail "DllEntryPoint does not return as stdcall with three arguments: $(returns_of '_DllEntryPoint@12' | tr '\n' ' ')"
for function in _GetPluginInfo _LoadPlugin _UnloadPlugin _OnProtocolEvent; do
    returns=$(returns_of "$function")
    if [[ -z $returns ]]; then
        fail "no cdecl function $function in the image"
    elif [[ $returns != ret ]]; then
        fail "$function does not return as cdecl: $returns"
    fi
done

# Beyond i686: SSE, MMX and AVX registers, and instructions of later
# processors. (tzcnt is how objdump shows rep bsf, which older processors
# run as bsf.)
beyond='%[xyz]mm|%mm[0-7]|^(popcnt|lzcnt|movbe|crc32|andn|bextr|blsi|blsmsk|blsr|bzhi|pdep|pext|rorx|sarx|shlx|shrx|adcx|adox|cmpxchg16b)( |$)'
users=$(awk -F'\t' -v beyond="$beyond" '$2 ~ beyond { print $1 }' <<<"$all" | sort -u)
[[ -n $users ]] || fail "no function uses SSE2 at all: is this the build with the SSE2 filters?"
while read -r function; do
    [[ -z $function || $function == *Sse2* ]] || fail "$function uses instructions beyond i686"
done <<<"$users"

# An SSE instruction that reaches the stack through %esp or %ebp needs a
# 16-byte aligned slot, unless it is an unaligned move.
while read -r function; do
    [[ -n $function ]] || continue
    aligned_slots=$(awk -F'\t' -v f="$function" '
        $1 == f && $2 ~ /%xmm/ && $2 ~ /\(%e[sb]p/ && $2 !~ /^(movups|movdqu|movupd|movd|movq|movss|movsd|movlps|movhps) /
    ' <<<"$all")
    realigns=$(awk -F'\t' -v f="$function" '$1 == f && $2 ~ /^and +\$0xfffffff0,%esp/' <<<"$all")
    if [[ -n $aligned_slots && -z $realigns ]]; then
        fail "$function uses aligned stack slots without aligning the stack: $(head -1 <<<"$aligned_slots")"
    fi
done <<<"$users"

((failures == 0)) || exit 1
echo "ok: entry point _DllEntryPoint@12 (stdcall); exports and hook cdecl; beyond i686 only in: $(tr '\n' ' ' <<<"$users")"
