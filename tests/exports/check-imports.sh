#!/usr/bin/env bash
# A Windows program or DLL imports system DLLs only: the host's folder (or the zip's) has no
# C++ runtime or winpthread to offer.
#   check-imports.sh FILE...
set -euo pipefail
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll ole32.dll oleaut32.dll msvcrt.dll advapi32.dll shell32.dll"
fail=0
for file in "$@"; do
  for d in $(i686-w64-mingw32-objdump -p "$file" | awk '/DLL Name:/{print tolower($3)}' | sort -u); do
    grep -qw "$d" <<<"$allowed" || grep -q '^api-ms-win-' <<<"$d" ||
      { echo "FAIL: $(basename "$file") imports non-system DLL $d"; fail=1; }
  done
done
exit $fail
