#!/usr/bin/env bash
# The Debian package as installed: packs the native build folder, installs the package into
# a scratch root (dpkg -x: the files as dpkg -i would place them, without touching the
# system), and runs the installed tools without options for the plug-in or the country file.
#   check-deb.sh BUILD-DIR VERSION TOOL...
set -euo pipefail
build=$1
version=$2
shift 2
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
# shellcheck source=../examples/compare-expected.sh
source "$here/tests/examples/compare-expected.sh"

(cd "$build" && cpack -G DEB -B "$work/packages" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/packages/*.deb)
dpkg-deb -f "$deb" Depends | grep -qw hamradio-files ||
  { echo "FAIL: the package does not depend on hamradio-files"; fail=1; }
dpkg -x "$deb" "$work/root"
usr=$work/root/usr

for tool in "$@"; do
  line=$("$usr/bin/$tool" --version)
  grep -qxE "$tool $version( \(git [0-9a-f]{12}(, modified)?\))?" <<<"$line" ||
    { echo "FAIL: $tool --version says '$line'"; fail=1; }
  [ -s "$usr/share/doc/solstice-race-stats/$tool.txt" ] || { echo "FAIL: no help of $tool"; fail=1; }
done

# The ADIF example scored by the installed scorer: the plug-in from the package's lib/,
# the country file from hamradio-files.
cd "$here"
rc=0
"$usr/bin/stats-score" --cabrillo --out "$work/out" examples/score-ea-cw.adi \
  >/dev/null 2>"$work/stderr" || rc=$?
[ $rc -eq 0 ] || { echo "FAIL: the installed stats-score ended with $rc"; cat "$work/stderr"; exit 1; }
grep -v "^message box" "$work/stderr" | sed "s|$work|OUT|g" >"$work/summary.txt"
declare -A produced=([results.txt]="$work/out/results.txt" [summary.txt]="$work/summary.txt")
for f in "$work"/out/BadQSO_*.txt "$work"/out/*.cbr; do produced[$(basename "$f")]=$f; done
compare_expected "$here/examples/expected/score-ea-cw"

[ $fail -eq 0 ] && echo "package $(basename "$deb"): installed tools as expected"
exit $fail
