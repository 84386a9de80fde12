#!/bin/busybox sh
# shellcheck shell=dash
# /init of the test machine: mount what the tests read, load the HID modules (the hidraw node of
# a uhid device appears only once hid-generic is bound), run the tests and power off.
bb=/bin/busybox
$bb mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
$bb mount -t proc proc /proc
$bb mount -t sysfs sysfs /sys

status=1
if $bb insmod /modules/hid.ko && $bb insmod /modules/uhid.ko &&
   $bb insmod /modules/hid-generic.ko; then
  /kernel_hidraw_tests --gtest_color=no
  status=$?
else
  echo "loading the HID modules failed"
fi
echo "kernel-tests-exit: $status"
$bb poweroff -f
