#!/bin/sh
# Builds and boots the kernel test machine, and leaves its console in MACHINE_DIR/console.log.
#   rig.sh MACHINE_DIR TEST_PROGRAM GADGET_PROGRAM
# Installs QEMU, busybox and cpio when missing, and fetches the current Debian kernel package
# once into a cache outside the source tree (TALLYJET_KERNEL_CACHE, by default
# ~/.cache/tallyjet-kernel), keeping only the kernel and its USB modules.
set -eu
machine=$1
test_program=$2
gadget_program=$3
here=$(cd "$(dirname "$0")" && pwd)
cache=${TALLYJET_KERNEL_CACHE:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/tallyjet-kernel}
packages="qemu-system-x86 busybox-static cpio gzip libusb-0.1-4"
modules="usb/common/usb-common usb/core/usbcore usb/gadget/udc/udc-core
  usb/gadget/udc/dummy_hcd usb/gadget/legacy/gadgetfs usb/class/usblp"

fail() {
  echo "KERNEL RIG FAILED: $*" >&2
  exit 1
}

installed() {
  dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q 'install ok installed'
}

install_packages() {
  missing=
  for p in $packages; do installed "$p" || missing="$missing $p"; done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing ||
    fail "cannot install$missing; the kernel tests need them and have not run"
}

# The versioned package that linux-image-amd64 stands for, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
  apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*\)$/\1/p' |
    head -n 1
}

# Unpacks the kernel and the modules the machine loads into $cache/PACKAGE.
fetch_kernel() {
  package=$(kernel_package)
  if [ -z "$package" ]; then
    apt-get update -qq || true
    package=$(kernel_package)
  fi
  [ -n "$package" ] || fail "no Debian kernel package found (apt-cache depends linux-image-amd64)"
  kernel=$cache/$package
  [ -f "$kernel/complete" ] && return 0
  echo "Fetching $package into $cache"
  rm -rf "$kernel"
  mkdir -p "$kernel/download"
  # Package lists older than the archive name a file it no longer has: refresh them once.
  (cd "$kernel/download" && { apt-get download -qq "$package" ||
    { apt-get update -qq && apt-get download -qq "$package"; }; }) ||
    fail "cannot download $package"
  patterns="./boot/vmlinuz-*"
  for m in $modules; do patterns="$patterns ./lib/modules/*/kernel/drivers/$m.ko"; done
  # shellcheck disable=SC2086
  dpkg-deb --fsys-tarfile "$kernel"/download/*.deb | tar -x -C "$kernel" --wildcards $patterns ||
    fail "cannot unpack $package"
  rm -rf "$kernel/download"
  touch "$kernel/complete"
  # A kernel an update has replaced is not needed again.
  find "$cache" -mindepth 1 -maxdepth 1 ! -name "$package" -exec rm -rf {} +
}

# Copies a program or library with every library it needs, as the dynamic loader finds them.
copy_with_libraries() {
  for file in "$@"; do
    cp -L "$file" "$root/lib/x86_64-linux-gnu/"
    ldd "$file" | sed -n 's/.*=> \(\/[^ ]*\) .*/\1/p' | while read -r library; do
      cp -L "$library" "$root/lib/x86_64-linux-gnu/"
    done
  done
}

build_initramfs() {
  root=$machine/root
  rm -rf "$root"
  mkdir -p "$root/bin" "$root/lib/modules" "$root/lib/x86_64-linux-gnu" "$root/lib64" \
    "$root/proc" "$root/sys" "$root/dev"
  cp /bin/busybox "$root/bin/busybox"
  cp "$here/init.sh" "$root/init"
  chmod +x "$root/init"
  cp "$test_program" "$root/bin/kernel_usb_test"
  cp "$gadget_program" "$root/bin/usb-printer-gadget"
  for m in $modules; do cp "$kernel"/lib/modules/*/kernel/drivers/$m.ko "$root/lib/modules/"; done
  copy_with_libraries "$test_program" "$gadget_program" /lib/x86_64-linux-gnu/libusb-0.1.so.4
  cp -L /lib64/ld-linux-x86-64.so.2 "$root/lib64/"
  (cd "$root" && find . | cpio -o -H newc --quiet) | gzip -1 > "$machine/initrd.gz"
}

# Boots the machine and keeps its console; the end of the console tells what went wrong.
boot() {
  vmlinuz=$(ls "$kernel"/boot/vmlinuz-*)
  status=0
  : > "$machine/console.raw"
  timeout 800 qemu-system-x86_64 -accel tcg -m 768 -smp 1 -display none -no-reboot -nic none \
    -monitor none -serial "file:$machine/console.raw" \
    -kernel "$vmlinuz" -initrd "$machine/initrd.gz" \
    -append "console=ttyS0 panic=-1 quiet loglevel=4" || status=$?
  tr -d '\r' < "$machine/console.raw" > "$machine/console.log"
  [ "$status" -eq 0 ] && grep -q '^@@done$' "$machine/console.log" && return 0
  tail -n 40 "$machine/console.log"
  [ "$status" -eq 0 ] || fail "QEMU failed or ran out of time (status $status)"
  fail "the machine stopped before the end of its tests"
}

mkdir -p "$machine" "$cache"
rm -f "$machine/console.log"
install_packages
command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is not installed"
fetch_kernel
build_initramfs
boot
echo "kernel machine ran its tests; console: $machine/console.log"
