#!/bin/sh
# Installs the build into a temporary prefix, then builds a C99 application against it twice:
# with pkg-config and with CMake's find_package, and runs the installed tallyjet command.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
here=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix/usr" > /dev/null
libdir=$(dirname "$(find "$prefix" -name libtallyjet-linux.so.1 | head -n 1)")
export PKG_CONFIG_PATH="$libdir/pkgconfig"
export LD_LIBRARY_PATH="$libdir"

cc -std=c99 -pedantic-errors -Wall -Wextra -Werror -o "$prefix/c99_client" "$here/c99_client.c" \
  $(pkg-config --cflags --libs tallyjet-linux)
"$prefix/c99_client"

cmake -S "$here/consumer" -B "$prefix/consumer" -DCMAKE_PREFIX_PATH="$prefix/usr" > /dev/null
cmake --build "$prefix/consumer" > /dev/null
"$prefix/consumer/c99_client"

"$prefix/usr/bin/tallyjet" --help > /dev/null
test -s "$prefix/usr/share/man/man1/tallyjet.1"
# The virtual printer is installed beside the library, for trying an application without one.
"$prefix/usr/bin/tallyjet-vprinter" --help | grep -q -- '--listen'
