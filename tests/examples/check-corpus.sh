#!/usr/bin/env bash
# Scores one real log of tests/corpus/ and compares what the scorer said (exit code, standard
# error with the summary) and the plug-in's results with the reviewed files in
# tests/corpus/expected/<log>/. It guards the readers against dialects that made-up examples
# lack.
#   check-corpus.sh SCORER PLUGIN LOG-FILE-NAME
# With UPDATE=1 the expected files are written instead (review them before committing).
set -euo pipefail
scorer=$(realpath "$1")
plugin=$(realpath "$2")
file=$3
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=compare-expected.sh
source "$here/tests/examples/compare-expected.sh"
cd "$here/tests/corpus"

rc=0
"$scorer" --plugin "$plugin" --country-file /usr/share/hamradio-files/cty.dat --out "$work/out" \
  "$file" >"$work/stdout" 2>"$work/stderr" || rc=$?
{
  echo "exit code: $rc"
  grep -v '^message box' "$work/stderr" | sed "s|$work|OUT|g"
} >"$work/said.txt"
declare -A produced=([said.txt]="$work/said.txt")
[ -f "$work/out/results.txt" ] && produced[results.txt]="$work/out/results.txt"
fail=0
compare_expected "$here/tests/corpus/expected/${file%.*}"
[ $fail -eq 0 ] && echo "scored corpus log $file: as expected"
exit $fail
