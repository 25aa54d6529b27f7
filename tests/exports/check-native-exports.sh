#!/usr/bin/env bash
# The native library exports exactly the eleven plain names with C linkage.
set -euo pipefail
expected="AddData0 CheckCall0 GetExchgCount0 GetNumberOfSets GetResult0 GetSetName IsValidExchg0 RemoveData0 ResetStats0 SetupSet0 setVersion"
actual=$(nm -D --defined-only "$1" | awk '$2=="T"{print $3}' | sort | tr '\n' ' ' | sed 's/ $//')
want=$(tr ' ' '\n' <<<"$expected" | sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$want" ]; then
  echo "FAIL: exports are [$actual], expected [$want]"
  exit 1
fi
echo "native exports OK"
