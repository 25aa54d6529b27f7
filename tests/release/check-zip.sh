#!/usr/bin/env bash
# The Windows zip as an operator unpacks it: packs the 32-bit build folder and checks what
# is inside, statically (nothing 32-bit runs here): Stats.dll passes the export checks and
# carries the version in its version resource, every tool is a 32-bit program that needs
# no DLL beside it but the plug-in, and the operators' text is there.
#   check-zip.sh BUILD-DIR VERSION TOOL...
set -euo pipefail
build=$1
version=$2
shift 2
exports=$(cd "$(dirname "$0")/../exports" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

(cd "$build" && cpack -G ZIP -B "$work/packages" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; exit 1; }
zip=$(ls "$work"/packages/*.zip)
mkdir "$work/unpacked"
(cd "$work/unpacked" && cmake -E tar xf "$zip")
dir=$(ls -d "$work"/unpacked/*/)

bash "$exports/check-exports.sh" "$dir/Stats.dll" "$exports/decorated_names.cpp" || fail=1

# FILEVERSION 1, 2, 3, 0 and PRODUCTVERSION alike; the strings name the version, the
# product's also the commit.
rc=$(i686-w64-mingw32-windres -i "$dir/Stats.dll" -O rc | tr -d '\r')
numbers=$(tr . '\n' <<<"$version.0.0.0" | head -n 4 | paste -sd, | sed 's/,/, /g')
for want in "FILEVERSION $numbers" "PRODUCTVERSION $numbers" "VALUE \"FileVersion\", \"$version\""; do
  grep -qxF " $want" <<<"$rc" || grep -qxF "      $want" <<<"$rc" ||
    { echo "FAIL: the version resource lacks '$want'"; fail=1; }
done
grep -qE "^ *VALUE \"ProductVersion\", \"$version( \(git [0-9a-f]{12}(, modified)?\))?\"$" <<<"$rc" ||
  { echo "FAIL: the version resource's ProductVersion is not $version"; fail=1; }

for tool in "$@"; do
  exe=$dir/$tool.exe
  if [ ! -f "$exe" ]; then echo "FAIL: $tool.exe missing"; fail=1; continue; fi
  i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' ||
    { echo "FAIL: $tool.exe is no 32-bit program"; fail=1; }
  bash "$exports/check-imports.sh" "$exe" || fail=1
done
grep -q 'Plugins' "$dir/README.txt" || { echo "FAIL: no operators' text"; fail=1; }

[ $fail -eq 0 ] && echo "package $(basename "$zip"): $(ls "$dir" | tr '\n' ' ')"
exit $fail
