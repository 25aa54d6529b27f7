#!/usr/bin/env bash
# Checks the 32-bit product without running it: a PE for i386, the library name, both names
# of each of the eleven exports at one address, the decorated names exactly as the host's
# compiler spells them, imports of system DLLs only, and the code's contract with a 32-bit
# host (check-code.sh).
set -euo pipefail
dll=$1
decl=$2
fail=0
err() { echo "FAIL: $*"; fail=1; }

dump=$(i686-w64-mingw32-objdump -p "$dll")
head=$(i686-w64-mingw32-objdump -f "$dll")

grep -q 'file format pei-i386' <<<"$head" || err "not a PE for i386"
grep -q "Name .*Stats.dll" <<<"$dump" || err "export directory does not name Stats.dll"

# Export table rows: "[Ordinal] Name" lines after the name-pointer table heading.
# "[   3] Name" rows of the name table, as "3 Name".
table=$(awk '/^\[Ordinal\/Name Pointer\] Table/{on=1;next} on&&/^[ \t]*\[/{gsub(/[][]/," "); print $1, $2; next} on{on=0}' <<<"$dump")
exports=$(awk '{print $2}' <<<"$table" | sort)

plain="AddData0 CheckCall0 GetExchgCount0 GetNumberOfSets GetResult0 GetSetName IsValidExchg0 RemoveData0 ResetStats0 SetupSet0 setVersion"
for name in $plain; do
  grep -qx "$name" <<<"$exports" || err "plain export $name missing"
done

# The decorated names the host's compiler produces for the declarations.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
clang++ --target=i686-pc-windows-msvc -c "$decl" -o "$tmp/decl.obj"
llvm-nm -u "$tmp/decl.obj" | awk '{print $2}' | grep '^?' | sort >"$tmp/expected"
grep '^?' <<<"$exports" | sort >"$tmp/actual" || true
if ! diff -u "$tmp/expected" "$tmp/actual"; then err "decorated names differ from the host compiler's"; fi
[ "$(wc -l <"$tmp/expected")" -eq 11 ] || err "expected 11 decorated names"
[ "$(wc -l <<<"$exports")" -eq 22 ] || err "expected 22 exports, found $(wc -l <<<"$exports")"

# Each decorated name and its plain alias lead to the same address.
# "[   0] +base[   1] 39e0 Export RVA" rows of the address table, as "0 39e0".
rvas=$(awk '/^Export Address Table/{on=1;next} on&&/Export RVA/{gsub(/[][]/," "); print $1, $(NF-2); next} on&&/^$/{on=0}' <<<"$dump")
addr_of() {
  local ord
  ord=$(awk -v n="$1" '$2==n{print $1}' <<<"$table")
  awk -v o="$ord" '$1==o{print $2}' <<<"$rvas"
}
pairs="setVersion:?setVersion@@YAKPBD@Z GetSetName:?GetSetName@@YAPBDH@Z CheckCall0:?CheckCallFunc0@@YAHPBDII00000000000HHHNN0000000PAD1@Z GetExchgCount0:?StatsGetExchgCount0@@YAHPBD00@Z"
for p in $pairs; do
  a=$(addr_of "${p%%:*}"); b=$(addr_of "${p#*:}")
  [ -n "$a" ] && [ "$a" = "$b" ] || err "${p%%:*} and its decorated name differ in address ($a vs $b)"
done

# Imports: system DLLs only.
imports=$(awk '/DLL Name:/{print tolower($3)}' <<<"$dump" | sort -u)
bash "$(dirname "$0")/check-imports.sh" "$dll" || fail=1

# The code, as a 32-bit host runs it.
bash "$(dirname "$0")/check-code.sh" "$dll" $plain || fail=1

[ $fail -eq 0 ] && echo "export table OK: $(wc -l <<<"$exports") names; imports: $(echo $imports)"
exit $fail
