#!/bin/busybox sh
# /init of the kernel test machine: mounts, loads the USB modules, runs each test of
# kernel_usb_test in its own process with a time-out, and powers off. Every result is marked on the console for guest_result.sh.
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/gadget /tmp
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /tmp

load() {
  insmod /lib/modules/$1.ko || echo "@@module $1 failed"
}

# Runs the tests of one suite, each at most 90 s, so that a blocked write cannot hang the run.
run_suite() {
  for test in $(/bin/kernel_usb_test --gtest_list_tests --gtest_filter="$1.*" | sed -n 's/^  //p'); do
    echo "@@begin $1.$test"
    timeout -s KILL 90 /bin/kernel_usb_test --gtest_color=no --gtest_filter="$1.$test" 2>&1
    echo "@@end $1.$test $?"
    # A test killed by the time-out leaves its printer plugged in.
    killall -q usb-printer-gadget && sleep 1
  done
}

for module in usb-common usbcore udc-core dummy_hcd gadgetfs usblp; do load $module; done
mount -t gadgetfs gadgetfs /dev/gadget
run_suite Usblp
echo "@@done"
poweroff -f
