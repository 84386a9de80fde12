#!/bin/busybox sh
# shellcheck shell=dash
# /init of the machine run-shipped.sh boots: load the modules, mount the shared root read-only
# over 9p, lay a memory filesystem over it (overlayfs) so that programs may write anywhere, give
# it /proc, /sys, /dev, configfs and empty /tmp and /run, then run the caller's script there.
bb=/bin/busybox
$bb mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
$bb mount -t proc proc /proc
$bb mount -t sysfs sysfs /sys
t0=$($bb cut -d' ' -f1 /proc/uptime)

fail() {
  echo "shipped-init: $*"
  echo "shipped-exit: 1"
  $bb poweroff -f
}

while read -r module parameters; do
  # shellcheck disable=SC2086
  $bb insmod "/modules/$module" $parameters || fail "loading $module failed"
done </modules/order

# msize: 9p's default 8 KiB messages make every read of a large library many round trips;
# cache=loose is safe because nothing changes the shared files while the machine runs.
$bb mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=512000,cache=loose hostroot /host ||
  fail "mounting the shared root failed"
$bb mount -t tmpfs -o size=90% tmpfs /rw
$bb mkdir -p /rw/upper /rw/work
if ! $bb mount -t overlay overlay -o lowerdir=/host,upperdir=/rw/upper,workdir=/rw/work /newroot
then
  # Without overlayfs the shared root is used as it is, writable only where memory is mounted.
  echo "shipped-init: overlayfs refused the shared root; tmpfs on /tmp, /run, /root, /var/tmp"
  $bb mount --bind /host /newroot
  for d in tmp run root var/tmp; do
    $bb mount -t tmpfs tmpfs "/newroot/$d"
  done
fi
$bb mount -t proc proc /newroot/proc
$bb mount -t sysfs sysfs /newroot/sys
$bb mount -t devtmpfs devtmpfs /newroot/dev
$bb mount -t configfs configfs /newroot/sys/kernel/config
# The host's own /tmp and /run contents (its sockets, its jobs) mean nothing here.
$bb mount -t tmpfs tmpfs /newroot/tmp
$bb mount -t tmpfs tmpfs /newroot/run
$bb mkdir -p /newroot/dev/shm /newroot/dev/pts /newroot/run/shipped
$bb mount -t tmpfs tmpfs /newroot/dev/shm
$bb mount -t devpts devpts /newroot/dev/pts
[ -f /kernel_model_server ] && $bb cp /kernel_model_server /newroot/run/shipped/
t1=$($bb cut -d' ' -f1 /proc/uptime)
echo "shipped-init: kernel up at ${t0} s, shared root ready at ${t1} s (machine's uptime)"

# The variables the caller handed on, then the script and its arguments, one a line.
# shellcheck disable=SC1091
. /environment
set --
while read -r line; do
  set -- "$@" "$line"
done </command
HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  $bb chroot /newroot /bin/sh "$@"
echo "shipped-exit: $?"
$bb poweroff -f
