#!/usr/bin/env bash
# Rooms point down: a file of one room includes only its own room and the rooms below it.
# Usage: check-rooms.sh SRC_DIR
set -u
src=$1
# Lowest first.
rooms=(base win contest settings engine cabrillo results display setup plugin)
# The one edge that points up: the reset shows the Cabrillo header dialog.
upward_ok=" engine>cabrillo "

rank() {
  local i
  for i in "${!rooms[@]}"; do [ "${rooms[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

status=0
for room in "${rooms[@]}"; do
  own=$(rank "$room")
  while IFS=: read -r file included; do
    target=${included%%/*}
    above=$(rank "$target")
    if [ "$above" -gt "$own" ] && [[ $upward_ok != *" $room>$target "* ]]; then
      echo "${file#"$src"/} includes $included: $target/ is above $room/"
      status=1
    fi
  done < <(grep -rHo '#include "[a-z]*/[^"]*"' "$src/$room" | sed 's/#include "//; s/"$//')
done
exit $status
