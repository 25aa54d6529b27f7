# Sourced by the example checks. compare_expected EXPECTED [PARTIAL]: compares the files of
# the associative array `produced` (name -> path) with the reviewed ones in EXPECTED and sets
# fail=1 on any difference; with PARTIAL=1 expected files that this run does not make are no
# fault. With UPDATE=1 it writes the expected files instead and ends the script.
compare_expected() {
  local expected=$1 partial=${2:-0} k f
  if [ "${UPDATE:-0}" = 1 ]; then
    mkdir -p "$expected"
    for k in "${!produced[@]}"; do cp "${produced[$k]}" "$expected/$k"; done
    echo "wrote $expected"
    exit 0
  fi
  for k in "${!produced[@]}"; do
    if [ ! -f "$expected/$k" ]; then echo "FAIL: unexpected file $k"; fail=1; continue; fi
    if ! cmp -s "${produced[$k]}" "$expected/$k"; then
      echo "FAIL: $k differs from the expected file"
      diff <(tr -d '\r' <"$expected/$k") <(tr -d '\r' <"${produced[$k]}") | head -n 20 || true
      fail=1
    fi
  done
  for f in "$expected"/*; do
    [ -n "${produced[$(basename "$f")]+x}" ] || [ "$partial" = 1 ] ||
      { echo "FAIL: $(basename "$f") was not produced"; fail=1; }
  done
}
