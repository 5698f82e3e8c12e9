#!/usr/bin/env bash
# Compares the names a PlEXIF build exports with the documented interface.
# usage: check-exports.sh elf|pe LIBRARY EXPECTED_LIST
set -euo pipefail
kind=$1
lib=$2
expected=$3
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
if [ "$kind" = elf ]; then
  nm -D --defined-only --format=posix "$lib" | awk '{print $1}' | c++filt | LC_ALL=C sort -u >"$actual"
else
  i686-w64-mingw32-objdump -p "$lib" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | c++filt | LC_ALL=C sort -u >"$actual"
fi
if ! diff -u "$expected" "$actual"; then
  echo "exported names differ from $expected" >&2
  exit 1
fi
if [ "$kind" = pe ]; then
  # The DLL needs nothing beyond Windows itself (the C++ runtime is linked in).
  extra=$(i686-w64-mingw32-objdump -p "$lib" | sed -n 's/^[[:space:]]*DLL Name: //p' |
    grep -viE '^(kernel32|msvcrt)\.dll$' || true)
  if [ -n "$extra" ]; then
    echo "unexpected DLL imports: $extra" >&2
    exit 1
  fi
fi
echo "$(wc -l <"$actual") exported names as documented"
