#!/usr/bin/env bash
# Prints the sample receipt through the library to the virtual printer, or to PORT when given.
# Usage: tools/demo.sh BUILD_DIR [PORT [BAUD]]
set -euo pipefail
build=${1:-build}
shift || true
out=out/demo
mkdir -p "$out"

if [ $# -gt 0 ]; then
  exec "$build/examples/receipt" "$@"
fi

link="$PWD/$out/printer"
rm -f "$link" "$out/receipt.log" "$out/receipt.bin" "$out/receipt.png"
"$build/tools/vprinter/tallyjet-vprinter" --link "$link" --log "$out/receipt.log" \
  --raw "$out/receipt.bin" --png "$out/receipt.png" &
printer=$!
trap 'kill "$printer" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "$link" ] && break
  sleep 0.05
done

"$build/examples/receipt" "$link"
# The receipt's last bytes may still wait in the line: stop the printer once it has read them
# all, that is once its raw capture has stopped growing.
size=-1
while [ "$size" != "$(stat -c %s "$out/receipt.bin")" ]; do
  size=$(stat -c %s "$out/receipt.bin")
  sleep 0.3
done
kill -TERM "$printer"
wait "$printer" || true
trap - EXIT

cat "$out/receipt.log"
echo
echo "Decoded log:      $out/receipt.log"
echo "Raw bytes:        $out/receipt.bin"
[ -f "$out/receipt.png" ] && echo "Rendered receipt: $out/receipt.png"
exit 0
