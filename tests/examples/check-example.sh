#!/usr/bin/env bash
# Replays one example contest through the plug-in with the host simulator and compares
# every file it produces with the reviewed expected files.
#   check-example.sh SIMULATOR PLUGIN NAME [RUNNER...]
# RUNNER runs the simulator: tests/win/wine-run for a Windows one, qemu-i386 -L / for a
# 32-bit Linux one. With UPDATE=1 the expected files are written instead (review them before
# committing).
set -euo pipefail
sim=$1
plugin=$2
name=$3
runner=("${@:4}")
here=$(cd "$(dirname "$0")/../.." && pwd)
log="$here/examples/$name.log"
expected="$here/examples/expected/$name"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=compare-expected.sh
source "$here/tests/examples/compare-expected.sh"

# Windows programs get Windows paths.
winpath() { if [[ $sim == *.exe ]]; then echo "Z:${1//\//\\}"; else echo "$1"; fi; }

run() {  # run OUTDIR [options]
  local out=$1
  shift
  "${runner[@]}" "$sim" --quiet --plugin "$(winpath "$plugin")" --workdir "$(winpath "$work/$out")" \
    "$@" "$(winpath "$log")" >"$work/$out.stdout" 2>"$work/$out.stderr"
}

# The plain results (with rates), then HTML with a Cabrillo export.
run text
run html --html --export

# Under Wine the program's two output streams arrive as one; take the lines by their kind.
grep -h -E '^(CheckCall0|IsValidExchg0) ' "$work/text.stdout" "$work/text.stderr" | tr -d '\r' >"$work/queries.txt" || true
grep -h -E '^message box ' "$work/html.stdout" "$work/html.stderr" | tr -d '\r' >"$work/messages.txt" || true
declare -A produced=(
  [results.txt]="$work/text/results.txt"
  [queries.txt]="$work/queries.txt"
  [results.html]="$work/html/results.html"
  [messages.txt]="$work/messages.txt"
)
for f in "$work"/text/BadQSO_*.txt; do produced[$(basename "$f")]=$f; done
for f in "$work"/html/*.cbr; do produced[$(basename "$f")]=$f; done
# The bad-QSO file must not depend on the results form.
for f in "$work"/text/BadQSO_*.txt; do
  cmp -s "$f" "$work/html/$(basename "$f")" || { echo "FAIL: $(basename "$f") differs between runs"; exit 1; }
done

fail=0
compare_expected "$expected"
[ $fail -eq 0 ] && echo "example $name: all ${#produced[@]} files as expected"
exit $fail
