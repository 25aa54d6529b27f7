#!/usr/bin/env bash
# Reads the code of a 32-bit DLL for what a 32-bit host needs of it:
#   check-code.sh DLL EXPORT...
# - every named export returns with a plain ret, never ret N: the host's compiler has the
#   caller clean the stack (a stdcall callee would pop the arguments a second time);
# - no aligned SSE move against stack memory: MSVC hosts and Win32 callbacks give 4-byte
#   alignment, so such a move faults at random;
# - no TLS callbacks but the runtime's own (they run inside the loader for every thread of
#   the host): the C runtime's thread_local set-up and tear-down, winpthreads' cleanup.
set -euo pipefail
dll=$1
shift
fail=0
err() { echo "FAIL: $*"; fail=1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
i686-w64-mingw32-objdump -d "$dll" >"$tmp/code"
dump=$(i686-w64-mingw32-objdump -p "$dll")

# Instructions under one label: "<_Name>:" up to the blank line that ends it.
body() { awk -v l="<$1>:" '$2==l{on=1;next} on&&/^$/{exit} on' "$tmp/code"; }
for name in "$@"; do
  code=$(body "_$name"; body "_$name.cold")
  [ -n "$code" ] || { err "export $name: no code labelled _$name"; continue; }
  grep -qE $'\t(repz )?ret *$' <<<"$code" || err "export $name: no plain ret"
  if grep -E $'\tret +\$' <<<"$code" | head -n 1; then err "export $name pops its arguments (ret N)"; fi
done

if grep -E $'\tv?mov(aps|apd|dqa) .*\(%e[sb]p' "$tmp/code" | head -n 3; then
  err "aligned SSE moves against the stack"
fi

base=$(awk '/^ImageBase/{print $2}' <<<"$dump")
va() { printf '%x' $((16#$base + 16#$1)); }
dwords() {  # dwords VA N: N little-endian 32-bit words at VA, in hex
  i686-w64-mingw32-objdump -s --start-address=$((16#$1)) --stop-address=$((16#$1 + 4 * $2)) "$dll" |
    grep -E '^ [0-9a-f]{8} ' | cut -c11-45 | tr ' ' '\n' | grep -E '^[0-9a-f]{8}$' |
    sed -E 's/(..)(..)(..)(..)/\4\3\2\1/' || true
}
# The TLS directory's fourth word is the address of the callbacks' list, which ends in 0.
read -r tls_rva tls_size < <(awk '/^Entry 9 /{print $3, $4}' <<<"$dump")
callbacks=""
if [ $((16#${tls_size:-0})) -ne 0 ]; then
  list=$(dwords "$(va "$tls_rva")" 4 | sed -n 4p)
  for a in $(dwords "$list" 16); do
    [ "$a" = 00000000 ] && break
    callback=$(grep -E "^$a <" "$tmp/code" | sed -E 's/^[0-9a-f]+ <(.*)>:$/\1/' || true)
    callbacks+=" ${callback:-?$a}"
  done
fi
for c in $callbacks; do
  case $c in
    ___dyn_tls_init@12 | ___dyn_tls_dtor@12 | ___dyn_tls_pthread@12) ;;
    *) err "TLS callback $c is not the runtime's" ;;
  esac
done

[ $fail -eq 0 ] && echo "code OK: $# exports return with a plain ret; no aligned SSE move against the stack; TLS callbacks:${callbacks:- none}"
exit $fail
