#!/bin/sh
# Uses the built Debian packages as an integrator would once they are installed: unpacked into a
# scratch root, each file is where its package puts it and no program carries a run path; the
# README's minimal application, built from that root's header and pkg-config file alone, prints
# to the virtual printer of the same root; the tallyjet command and the printer application
# start from it.
# Usage: check_packages.sh PACKAGE_DIR README
set -eu
packages=$1
readme=$2
root=$(mktemp -d)
printer=
trap '[ -z "$printer" ] || kill "$printer" 2> /dev/null || true; rm -rf "$root"' EXIT

fail() {
  echo "check_packages: $*" >&2
  exit 1
}

fs=$root/fs
for deb in "$packages"/*.deb; do
  dpkg-deb -x "$deb" "$fs"
done
libdir=$fs/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)

for file in lib/udev/rules.d/60-tallyjet-printer.rules \
            lib/systemd/system/tallyjet-printer-app.service \
            usr/share/man/man1/tallyjet.1.gz usr/include/tallyjet.h \
            var/spool/tallyjet-printer-app; do
  [ -e "$fs/$file" ] || fail "no $file in the packages"
done
unit=$fs/lib/systemd/system/tallyjet-printer-app.service
grep -q '^ExecStart=/usr/bin/tallyjet-printer-app server ' "$unit" \
  || fail "the unit starts another program"
grep -q '^User=_tallyjet$' "$unit" || fail "the unit runs the server as root"
# The unit as systemd reads it, its program taken from the root: no setting systemd refuses or
# ignores.
sed "s|/usr/bin/tallyjet-printer-app|$fs/usr/bin/tallyjet-printer-app|" "$unit" \
  > "$root/tallyjet-printer-app.service"
verified=$(systemd-analyze verify --man=no "$root/tallyjet-printer-app.service" 2>&1) \
  || fail "systemd refuses the unit: $verified"
[ -z "$verified" ] || fail "systemd reads the unit otherwise: $verified"
for program in tallyjet tallyjet-vprinter tallyjet-printer-app; do
  if readelf -d "$fs/usr/bin/$program" | grep -q -E 'RPATH|RUNPATH'; then
    fail "$program carries a run path"
  fi
done

# The symbols file as dh_makeshlibs checks it: the build fails on a symbol that disappears from
# the library and on one it exports unlisted.
version=$(dpkg-deb -f "$packages"/libtallyjet-linux1_*.deb Version)
dpkg-deb -e "$packages"/libtallyjet-linux1_*.deb "$root/control"
symbols_check() {
  dpkg-gensymbols -c4 -plibtallyjet-linux1 -P"$fs" -v"$version" \
    -e"$libdir"/libtallyjet-linux.so.1.* -I"$1" -O/dev/null > /dev/null 2>&1
}
symbols_check "$root/control/symbols" || fail "the library differs from its symbols file"
grep -v '^ OpenPort@Base ' "$root/control/symbols" > "$root/unlisted"
! symbols_check "$root/unlisted" || fail "a symbol missing from the symbols file passes"
{ cat "$root/control/symbols"; echo " tallyjet_Gone@Base 1.0.0"; } > "$root/gone"
! symbols_check "$root/gone" || fail "a symbol gone from the library passes"

# The minimal application as the README shows it, against the root's files only.
awk '/^A minimal application:/ { found = 1; next }
     found && /^```c$/ { inside = 1; next }
     inside && /^```$/ { exit }
     inside { print }' "$readme" > "$root/minimal.c"
[ -s "$root/minimal.c" ] || fail "no minimal application in $readme"
flags=$(PKG_CONFIG_PATH= PKG_CONFIG_LIBDIR=$libdir/pkgconfig pkg-config --cflags --libs tallyjet-linux)
case $flags in
  *"-I$fs/"*) ;;
  *) fail "pkg-config names no header in the root: $flags" ;;
esac
cc -std=c99 -Wall -Wextra -Werror -o "$root/minimal" "$root/minimal.c" $flags

"$fs/usr/bin/tallyjet-vprinter" --listen 0 --log "$root/printer.log" --png "$root/receipt.png" \
  > "$root/port" 2> "$root/printer.err" &
printer=$!
for _ in $(seq 100); do
  [ -s "$root/port" ] && break
  sleep 0.05
done
port=$(cat "$root/port")
case $port in
  socket://127.0.0.1:*) ;;
  *) fail "the virtual printer did not start: $(cat "$root/printer.err")" ;;
esac
LD_LIBRARY_PATH=$libdir "$root/minimal" "$port" || fail "the minimal application failed on $port"
kill -TERM "$printer"
wait "$printer" || fail "the virtual printer failed: $(cat "$root/printer.err")"
printer=
grep -q 'TEXT "Café au lait   2.40"' "$root/printer.log" || fail "the text did not arrive"
grep -q 'cut' "$root/printer.log" || fail "the cut did not arrive"
[ -s "$root/receipt.png" ] || fail "the virtual printer drew no receipt"

LD_LIBRARY_PATH=$libdir "$fs/usr/bin/tallyjet" --help > /dev/null || fail "tallyjet --help failed"
LD_LIBRARY_PATH=$libdir "$fs/usr/bin/tallyjet-printer-app" drivers | grep -q '^tallyjet_80mm' \
  || fail "tallyjet-printer-app drivers names no tallyjet_80mm"
echo "check_packages: the packages work from $packages"
