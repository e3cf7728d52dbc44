#!/bin/sh
# Reports one test of the kernel machine from its console: prints what the test printed and
# succeeds only when it ran and passed.
#   guest_result.sh CONSOLE_LOG SUITE.NAME
log=$1
name=$2
if ! grep -q "^@@end $name " "$log" 2>/dev/null; then
  echo "$name did not run in the kernel machine (see $log)"
  exit 1
fi
sed -n "/^@@begin $name\$/,/^@@end $name /p" "$log"
grep -q "^@@end $name 0\$" "$log"
