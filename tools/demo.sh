#!/usr/bin/env bash
# Prints the sample receipt through the library to the virtual printer, then shows the sample
# refusing to print on a printer that is out of paper, then draws a receipt text in four
# scripts and a whole receipt in markup with the tallyjet command's preview. With a PORT,
# prints to that printer.
# Usage: tools/demo.sh BUILD_DIR [PORT] [BAUD]
#   no PORT: the virtual printer, over its device-node path, or over the serial path at BAUD.
set -euo pipefail
build=${1:-build}
port=${2:-}
baud=${3:-}
out=out/demo
mkdir -p "$out"

if [ -n "$port" ]; then
  exec "$build/examples/receipt" "$port" $baud
fi

# run_receipt NAME [PRINTER OPTIONS...]: prints the receipt to a fresh virtual printer whose
# log, raw capture and picture are out/demo/NAME.*; answers the receipt's exit status.
run_receipt() {
  local name=$1
  shift
  local link="$PWD/$out/$name-printer"
  rm -f "$link" "$out/$name.log" "$out/$name.bin" "$out/$name.png"
  "$build/tools/vprinter/tallyjet-vprinter" --link "$link" --log "$out/$name.log" \
    --raw "$out/$name.bin" --png "$out/$name.png" "$@" 2> "$out/$name.stderr" &
  local printer=$!
  for _ in $(seq 100); do
    [ -e "$link" ] && break
    sleep 0.05
  done
  local status=0
  "$build/examples/receipt" "$link" $baud || status=$?
  # The receipt's last bytes may still wait in the line: stop the printer once it has read
  # them all, that is once its raw capture has stopped growing.
  local size=-1
  while [ "$size" != "$(stat -c %s "$out/$name.bin")" ]; do
    size=$(stat -c %s "$out/$name.bin")
    sleep 0.3
  done
  kill -TERM "$printer"
  wait "$printer" || true
  return "$status"
}

echo "== The sample receipt${baud:+ over the serial path at $baud bit/s}"
run_receipt receipt
cat "$out/receipt.log"

echo
echo "== The same sample on a printer that is out of paper"
if run_receipt paper-out --paper-out; then
  echo "demo: the sample printed although the printer had no paper" >&2
  exit 1
fi
cat "$out/paper-out.log"

echo
echo "== A receipt text in Latin, Greek, Cyrillic, Hebrew and Chinese, drawn by tallyjet --preview"
"$build/tools/cli/tallyjet" print --preview "$out/scripts.png" examples/receipt.txt

echo
echo "== A whole receipt in markup, drawn by tallyjet receipt --preview"
"$build/tools/cli/tallyjet" receipt --preview "$out/markup.png" examples/receipt.receipt

echo
echo "Decoded log:      $out/receipt.log"
echo "Raw bytes:        $out/receipt.bin"
echo "Rendered receipt: $out/receipt.png"
echo "Five scripts:     $out/scripts.png"
echo "Markup receipt:   $out/markup.png"
