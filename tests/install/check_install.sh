#!/bin/sh
# Installs the build into a temporary prefix, then builds a C99 application against it twice:
# with pkg-config and with CMake's find_package, and runs the installed programs, which find the
# library from their own place. The udev rule, the systemd unit and the manual page are installed
# and listed in install_manifest.txt.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
here=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix/usr" > /dev/null
libdir=$(dirname "$(find "$prefix" -name libtallyjet-linux.so.1 | head -n 1)")
export PKG_CONFIG_PATH="$libdir/pkgconfig"

cc -std=c99 -pedantic-errors -Wall -Wextra -Werror -o "$prefix/c99_client" "$here/c99_client.c" \
  $(pkg-config --cflags --libs tallyjet-linux)
LD_LIBRARY_PATH="$libdir" "$prefix/c99_client"

cmake -S "$here/consumer" -B "$prefix/consumer" -DCMAKE_PREFIX_PATH="$prefix/usr" > /dev/null
cmake --build "$prefix/consumer" > /dev/null
"$prefix/consumer/c99_client"

for file in usr/lib/udev/rules.d/60-tallyjet-printer.rules \
            usr/lib/systemd/system/tallyjet-printer-app.service \
            usr/share/man/man1/tallyjet.1; do
  grep -q -x "$prefix/$file" "$build/install_manifest.txt" || {
    echo "$file is not installed, or not in install_manifest.txt"
    exit 1
  }
done
grep -q "^ExecStart=$prefix/usr/bin/tallyjet-printer-app " \
  "$prefix/usr/lib/systemd/system/tallyjet-printer-app.service"

"$prefix/usr/bin/tallyjet" --help > /dev/null
"$prefix/usr/bin/tallyjet-printer-app" drivers > /dev/null
# The virtual printer is installed beside the library, for trying an application without one.
"$prefix/usr/bin/tallyjet-vprinter" --help | grep -q -- '--listen'
