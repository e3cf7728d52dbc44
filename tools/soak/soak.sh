#!/usr/bin/env bash
# Prints COUNT receipts (text, barcode, QR code, a small picture, cut; no status queries)
# through the library to the virtual printer on a pty. The soak program checks that its
# descriptors and memory held; this script checks that the printer received every byte sent,
# cut every receipt and found nothing it could not decode. Not part of make test: it takes
# minutes. Figures and the printer's log are in out/soak.
# Usage: tools/soak/soak.sh BUILD_DIR [COUNT]
set -euo pipefail
build=${1:-build}
count=${2:-2000}
out=out/soak
mkdir -p "$out"
link="$PWD/$out/printer"
rm -f "$link" "$out/printer.log" "$out/printer.bin"

"$build/tools/vprinter/tallyjet-vprinter" --link "$link" --log "$out/printer.log" \
  --raw "$out/printer.bin" > "$out/printer.stdout" 2> "$out/printer.stderr" &
printer=$!
trap 'kill -TERM "$printer" 2> /dev/null || true' EXIT
for _ in $(seq 100); do
  [ -e "$link" ] && break
  sleep 0.05
done

start=$SECONDS
status=0
"$build/tools/soak/soak" "$link" examples/logo.png "$count" "$out/one-receipt.bin" \
  | tee "$out/figures" || status=$?
sent=$(sed -n 's/.* \([0-9]*\) bytes in all.*/\1/p' "$out/figures")
# The last receipt may still be in the line; give the printer up to 30 s to read it.
for _ in $(seq 300); do
  [ "$(stat -c %s "$out/printer.bin")" -ge "${sent:-0}" ] && break
  sleep 0.1
done
received=$(stat -c %s "$out/printer.bin")
cuts=$(grep -c "^GS V" "$out/printer.log" || true)
undecoded=$(grep -c -E "^(UNKNOWN|INCOMPLETE)" "$out/printer.log" || true)
echo "soak: the printer received $received of ${sent:-?} bytes, cut $cuts times," \
  "could not decode $undecoded commands; $((SECONDS - start)) s"
if [ "$received" != "$sent" ] || [ "$cuts" != "$count" ] || [ "$undecoded" != 0 ]; then
  echo "soak: the printer did not get every receipt whole" >&2
  status=1
fi
exit "$status"
