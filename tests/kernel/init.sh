#!/bin/busybox sh
# shellcheck shell=dash
# /init of the test machine: mount what the tests read, load the modules in the order
# run-kernel-tests.sh wrote (the hidraw node of a uhid device appears only once hid-generic is
# bound), mount configfs for the USB gadgets, run the test programs and power off.
bb=/bin/busybox
$bb mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
$bb mount -t proc proc /proc
$bb mount -t sysfs sysfs /sys

load_modules() {
  while read -r module parameters; do
    # shellcheck disable=SC2086
    $bb insmod "/modules/$module" $parameters || { echo "loading $module failed"; return 1; }
  done </modules/order
}

status=1
if load_modules && $bb mount -t configfs configfs /sys/kernel/config; then
  status=0
  while read -r program; do
    GTEST_COLOR=no "/tests/$program"
    result=$?
    [ "$status" -eq 0 ] && status=$result
  done </tests/order
fi
echo "kernel-tests-exit: $status"
$bb poweroff -f
