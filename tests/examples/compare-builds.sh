#!/usr/bin/env bash
# The files that must not depend on the build, made by every build present and compared byte
# for byte with the native build's: each example contest replayed through the plug-in (the
# results text and HTML, the bad-QSO file, the Cabrillo log, the report page) and the
# checker's outputs for a simulated contest. Builds: build/linux (the reference), build/linux32
# under qemu-i386, build/win64 under wine64 and build/win32 (the product) under 32-bit Wine
# where it runs. The settings file is compared as text (see below). Needs a display for the
# Windows programs (they play the operator).
#   compare-builds.sh [ROOT]
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
cty=/usr/share/hamradio-files/cty.dat
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
native=$root/build/linux/tools

# run BUILD PROGRAM ARGS...: one tool of BUILD; paths given to Windows programs as Z:\...
winpath() { echo "Z:${1//\//\\}"; }
run() {
  local build=$1 program=$2
  shift 2
  case $build in
    linux) "$native/$program" "$@" ;;
    linux32) qemu-i386 -L / "$root/build/linux32/tools/$program" "$@" ;;
    win32 | win64)
      local args=() a
      for a in "$@"; do if [[ $a == /* ]]; then args+=("$(winpath "$a")"); else args+=("$a"); fi; done
      STATS_BUILD_DIR="$root/build/$build" "$root/tests/win/wine-run" \
        "$root/build/$build/$program.exe" "${args[@]}"
      ;;
  esac
}

builds=(linux)
[ -x "$root/build/linux32/tools/stats-hostsim" ] && builds+=(linux32)
[ -f "$root/build/win64/stats-hostsim.exe" ] && builds+=(win64)
if [ -f "$root/build/win32/stats-hostsim.exe" ]; then
  if why=$("$root/tests/win/wine-run" --can-run-32); then
    builds+=(win32)
  else
    echo "the 32-bit DLL's files were not compared: $why"
  fi
fi

# Every build writes into $work/<build>/...; then each file is compared with linux's.
"$native/stats-simulate" --entrants 40 --seed 5 --out "$work/contest" >/dev/null 2>&1
for build in "${builds[@]}"; do
  for log in "$root"/examples/*.log; do
    name=$(basename "$log" .log)
    out=$work/$build/$name
    mkdir -p "$out"
    run "$build" stats-hostsim --quiet --workdir "$out" --report "$out/report.html" "$log" >/dev/null 2>&1
    run "$build" stats-hostsim --quiet --html --export --workdir "$out/html" "$log" >/dev/null 2>&1
  done
  run "$build" stats-check --quiet --country-file "$cty" --threads 2 --out "$work/$build/checked" \
    "$work/contest/logs" >/dev/null 2>&1 || true
done

fail=0
compared=0
# The checker's database exists in the native build alone (the Windows builds have no SQLite).
reference=$(cd "$work/linux" && find . -type f ! -name '*.db' ! -name '*.sqlite' | sort)
[ -n "$reference" ] || { echo "FAIL: the native build wrote nothing"; exit 1; }
for build in "${builds[@]:1}"; do
  differ=0
  while read -r f; do
    compared=$((compared + 1))
    if [ ! -f "$work/$build/$f" ]; then
      echo "FAIL: $build wrote no ${f#./}"
      differ=1
    elif [[ $f == *.ini ]]; then
      # The settings are written by the system's profile functions on Windows, which end
      # lines with CR LF: the same text, not the same bytes.
      if ! cmp -s <(tr -d '\r' <"$work/linux/$f") <(tr -d '\r' <"$work/$build/$f"); then
        echo "FAIL: ${f#./} differs between linux and $build"
        differ=1
      fi
    elif ! cmp -s "$work/linux/$f" "$work/$build/$f"; then
      # The first difference, with a little of what surrounds it (the pages are long lines).
      at=$(cmp "$work/linux/$f" "$work/$build/$f" 2>/dev/null | sed -E 's/.* byte ([0-9]+).*/\1/' || true)
      at=${at:-1}
      echo "FAIL: ${f#./} differs between linux and $build from byte $at:"
      for side in linux "$build"; do
        echo "  $side: ...$(tail -c +$((at > 40 ? at - 40 : 1)) "$work/$side/$f" | head -c 80 | tr '\n\r' '  ')..."
      done
      differ=1
    fi
  done <<<"$reference"
  [ $differ -eq 0 ] && echo "$build: the $(grep -c . <<<"$reference") files equal the native build's"
  fail=$((fail | differ))
done
[ ${#builds[@]} -gt 1 ] || { echo "FAIL: no other build to compare with"; exit 1; }
exit $fail
