#!/bin/sh
# Compares the dynamic symbols a library defines with the expected list, and checks its soname.
# Usage: check_exports.sh LIBRARY EXPECTED_LIST
set -eu
library=$1
expected=$2
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
if [ "$soname" != "libtallyjet-linux.so.1" ]; then
  echo "soname is '$soname', expected libtallyjet-linux.so.1"
  exit 1
fi
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
nm -D --defined-only --format=posix "$library" | awk '{ print $1 }' | sort -u > "$actual"
if ! diff -u "$expected" "$actual"; then
  echo "The exported symbols differ from $expected (- expected, + built)."
  exit 1
fi
echo "$(wc -l < "$actual") exported symbols as expected"
