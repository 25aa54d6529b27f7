#!/usr/bin/env bash
# Scores one example log of another logger with the scorer and compares the plug-in's
# files with the reviewed expected files; natively also the summary, the round trip of the
# plug-in's own Cabrillo log and the exit codes.
#   check-score.sh SCORER PLUGIN LOG-FILE-NAME [RUNNER]
# RUNNER (e.g. tests/win/wine-run) runs a Windows scorer. With UPDATE=1 the expected files
# are written instead (review them before committing).
set -euo pipefail
scorer=$(realpath "$1")
plugin=$(realpath "$2")
file=$3
runner=${4:+$(realpath "$4")}
here=$(cd "$(dirname "$0")/../.." && pwd)
log="$here/examples/$file"
expected="$here/examples/expected/${file%.*}"
cty=/usr/share/hamradio-files/cty.dat
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=compare-expected.sh
source "$here/tests/examples/compare-expected.sh"
cd "$work"

winpath() { if [ -n "$runner" ]; then echo "Z:${1//\//\\}"; else echo "$1"; fi; }
score() {  # score OUTDIR LOG [options]: the exit code in $rc
  local out=$1 in=$2
  shift 2
  rc=0
  $runner "$scorer" --plugin "$(winpath "$plugin")" --country-file "$(winpath "$cty")" \
    --out "$(winpath "$work/$out")" "$@" "$(winpath "$in")" >"$work/$out.stdout" 2>"$work/$out.stderr" || rc=$?
}

fail=0
check() {  # check WHAT EXPECTED-CODE
  if [ "$rc" -ne "$2" ]; then echo "FAIL: $1: exit code $rc, want $2"; fail=1; fi
}

score out "$log" --cabrillo
check "the example" 0
declare -A produced=([results.txt]="$work/out/results.txt")
for f in "$work"/out/BadQSO_*.txt "$work"/out/*.cbr; do produced[$(basename "$f")]=$f; done
if [ -z "$runner" ]; then
  # The summary without the folders of this run.
  grep -v '^message box' "$work/out.stderr" | sed "s|$work|OUT|g; s|$here/||g" >"$work/summary.txt"
  produced[summary.txt]="$work/summary.txt"
fi

# The Windows scorer makes no summary.
compare_expected "$expected" "$([ -n "$runner" ] && echo 1 || echo 0)"

if [ -z "$runner" ]; then
  # The plug-in's own Cabrillo log reads back to the same score.
  score back "$(ls "$work"/out/*.cbr)"
  check "the Cabrillo log read back" 0
  if ! diff <(grep -E '^(Total|Score:)' "$work/out/results.txt") \
    <(grep -E '^(Total|Score:)' "$work/back/results.txt"); then
    echo "FAIL: the Cabrillo log reads back to another score"
    fail=1
  fi
  # Exit codes: an unreadable log or country file 1, a bad option 2, damaged records 3.
  score e1 "$work/no-such.adi"
  check "a missing log" 1
  echo 'Dear contest manager, here is my log.' >letter.txt
  score e1 "$work/letter.txt"
  check "a file that is no log" 1
  score e1 "$log" --country-file "$work/no-such.dat"
  check "a missing country file" 1
  score e2 "$log" --mode RTTY
  check "a bad mode" 2
  score e2 "$log" --start "20 June"
  check "a bad start" 2
  printf '<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<EOR>\n' >nocall.adi
  score e2 "$work/nocall.adi"
  check "a log without own call" 2
  printf '<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<SRX:1>1<STX:1>1<FREQ:4>14.1<MODE:2>CW<EOR>\n<CALL:5>K2ABC<SRX:9>1<EOR>\n' >damaged.adi
  score e3 "$work/damaged.adi"
  check "a damaged record" 3
  grep -q 'damaged.adi:2: SRX: the length 9 runs past the record' "$work/e3.stderr" ||
    { echo "FAIL: the damaged record is not named"; fail=1; }
  grep -q 'left out, damaged: *1' "$work/e3.stderr" || { echo "FAIL: not counted"; fail=1; }

  # What a run says of logs as loggers write them: LOG-TEXT, exit code, a line of stderr.
  rows=(
    '<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>12x0<EOR>'
    3 'no record of .* could be read (1 damaged'
    '<STATION_CALLSIGN:6>EA4ZZZ<EOH>
<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<MODE:2>CW
<CALL:5>K2ABC<QSO_DATE:8>20260620<TIME_ON:4>1201<MODE:2>CW'
    3 'no <EOR> after the header'
    '<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<MODE:3>FT8<EOR>'
    2 'no CW or SSB QSO (1 in other modes); give the .* --mode'
    '<STATION_CALLSIGN:7>M0NOM <<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<EOR>'
    2 "STATION_CALLSIGN: not a call: 'M0NOM <'"
    '<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<MODE:2>CW<EOR>
<CALL:5>K2ABC<QSO_DATE:8>20260620<TIME_ON:4>1201<MODE:3>SSB<EOR>'
    0 'mode: *CW (that of most QSOs: 1 of 2)'
    '<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1200<MODE:2>CW<BAND:3>3cm<FREQ:7>10233.5<EOR>
<CALL:5>K2ABC<QSO_DATE:8>20260620<TIME_ON:4>1201<MODE:2>CW<BAND:3>20m<FREQ:5>14025<EOR>'
    0 ":2: FREQ: '14025' MHz is not in the 20m band of BAND; the band is kept"
  )
  for ((i = 0; i < ${#rows[@]}; i += 3)); do
    rm -rf "$work/row"
    printf '%s\n' "${rows[i]}" >row.adi
    score row "$work/row.adi"
    check "row $((i / 3 + 1))" "${rows[i + 1]}"
    grep -q -- "${rows[i + 2]}" "$work/row.stderr" ||
      { echo "FAIL: row $((i / 3 + 1)) does not say: ${rows[i + 2]}"; cat "$work/row.stderr"; fail=1; }
  done
  [ ! -e "$work/M0NOM <" ] || { echo "FAIL: an unchecked call named a folder"; fail=1; }

  # A log without reports and with only the band of some QSOs: the plug-in's Cabrillo log
  # reads back to the same score.
  {
    echo 'LoTW-style: no reports <EOH>'
    echo '<STATION_CALLSIGN:6>EA4ZZZ<MY_STATE:1>M<CALL:5>EA1AB<QSO_DATE:8>20260620<TIME_ON:4>1200<MODE:2>CW<BAND:3>40m<SRX_STRING:1>C<EOR>'
    echo '<MY_STATE:1>M<CALL:6>DL1ABC<QSO_DATE:8>20260620<TIME_ON:4>1201<MODE:2>CW<FREQ:5>7.012<SRX:1>5<EOR>'
    echo '<MY_STATE:1>M<CALL:5>EA8AB<QSO_DATE:8>20260620<TIME_ON:4>1202<MODE:2>CW<BAND:3>20M<SRX_STRING:2>TF<EOR>'
  } >bare.adi
  score bare "$work/bare.adi" --cabrillo
  check "a log without reports" 0
  grep -q 'reports supplied: *3' "$work/bare.stderr" || { echo "FAIL: reports not counted"; fail=1; }
  grep -q 'frequencies supplied: *2' "$work/bare.stderr" || { echo "FAIL: freqs not counted"; fail=1; }
  score bareback "$(ls "$work"/bare/*.cbr)"
  check "the Cabrillo log of a log without reports read back" 0
  if ! diff <(grep -E '^(Total|Score:)' "$work/bare/results.txt") \
    <(grep -E '^(Total|Score:)' "$work/bareback/results.txt"); then
    echo "FAIL: a log without reports reads back to another score"
    fail=1
  fi
fi
[ $fail -eq 0 ] && echo "scored $file: as expected"
exit $fail
