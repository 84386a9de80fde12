#!/usr/bin/env bash
# Boots the test machine with this machine's root filesystem shared into it read-only, so the
# shipped programs (dynamically linked, and the Windows builds under Wine) run there unchanged
# against the gadget devices of the real kernel.
#   run-shipped.sh <work folder> <script> [argument]...
# <script> is a path on this machine; the test machine runs it with /bin/sh as root inside the
# shared root, where every path of this machine reads the same, writes go to memory, and
# /run/shipped holds kernel_model_server (see shipped-init.sh). Exits with the script's status.
#   SHIPPED_MEMORY (MiB, default 3072): Wine's prefix is copied into memory in the machine.
#   SHIPPED_SERVER: the static kernel_model_server to put into the machine.
#   SHIPPED_ENV: names of variables of this environment to hand on to the script.
set -euo pipefail

work=$(mkdir -p "$1" && cd "$1" && pwd)
script=$(realpath "$2")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
server=${SHIPPED_SERVER:-}

# shellcheck source=../kernel-cache.sh
. "$here/../kernel-cache.sh"
# Besides the kernel tests' modules, what the shared root needs: virtio's PCI transport, 9p over
# it (9p.ko wants netfs and fscache in this kernel), and overlayfs for a writable root.
modules+=(
  drivers/virtio/virtio_ring.ko drivers/virtio/virtio.ko drivers/virtio/virtio_pci_modern_dev.ko
  drivers/virtio/virtio_pci_legacy_dev.ko drivers/virtio/virtio_pci.ko
  net/9p/9pnet.ko net/9p/9pnet_virtio.ko fs/netfs/netfs.ko fs/fscache/fscache.ko fs/9p/9p.ko
  fs/overlayfs/overlay.ko
)
fetch_kernel "$work"

root=$work/initramfs
rm -rf "$root"
mkdir -p "$root/bin" "$root/dev" "$root/proc" "$root/sys" "$root/modules" "$root/host" \
  "$root/rw" "$root/newroot"
cp /bin/busybox "$root/bin/busybox"
cp "$here/shipped-init.sh" "$root/init"
chmod 755 "$root/init"
for m in "${modules[@]}"; do
  read -r path parameters <<<"$m"
  cp "$cache/modules/$(basename "$path")" "$root/modules/"
  echo "$(basename "$path") $parameters" >>"$root/modules/order"
done
[ -z "$server" ] || cp "$server" "$root/kernel_model_server"
# The script and its arguments, one a line, for init to pass on.
printf '%s\n' "$script" "$@" >"$root/command"
: >"$root/environment"
for name in ${SHIPPED_ENV:-}; do
  printf 'export %s=%q\n' "$name" "${!name:-}" >>"$root/environment"
done
(cd "$root" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio"

log=$work/console.log
# -virtfs: the whole root, read-only (readonly=on), as the files are (security_model=none: the
# machine runs as root and only reads); multidevs=remap keeps inode numbers of this machine's
# other mounts from colliding. -m: the Wine prefix (about 700 MB) and its writes live in memory.
# smap=off: qemu 7.2's TCG performs a user-mode iretq's stack reads as supervisor accesses, so with
# SMAP every Wine process dies on its first return through iretq from Wine's syscall dispatcher
# (kernel: "#PF: supervisor read access in user mode", "permissions violation", RIP at 48 cf).
# no_timer_check: on a busy host the emulated machine's timer can miss the kernel's boot-time
# check, which then panics ("IO-APIC + timer doesn't work!"); a virtual timer needs no check.
timeout "${SHIPPED_TIMEOUT:-900}" qemu-system-x86_64 -accel tcg -cpu max,smap=off -smp 1 \
  -m "${SHIPPED_MEMORY:-3072}" -nodefaults -no-user-config -display none -serial stdio \
  -no-reboot -kernel "$cache/vmlinuz" -initrd "$work/initramfs.cpio" \
  -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 mitigations=off no_timer_check" </dev/null |
  tr -d '\r' | tee "$log" | grep -v '^capture ' || true

# What the script printed as "capture <name>: <line>", one file a name (wine-hid.sh's updates).
split_captures "$log" "$work/captures"

status=$(sed -n 's/^shipped-exit: \([0-9]*\)$/\1/p' "$log" | tail -n 1)
[ -n "$status" ] || { echo "run-shipped: no result from the machine (see $log)" >&2; exit 1; }
exit "$status"
