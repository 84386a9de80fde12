#!/usr/bin/env bash
# Runs static test programs, one after the other, inside a virtual machine on Debian's current
# kernel.
#   run-kernel-tests.sh <work folder> <static test program>...
# The kernel package is downloaded once into <work folder>/cache; only the kernel image and the
# modules below are kept from it. Exits with the first failing program's status, else 0.
set -euo pipefail

work=$1
shift
programs=("$@")
here=$(cd "$(dirname "$0")" && pwd)

# The modules, in the order they are loaded (each after what it depends on), with their
# parameters: HID and uhid; then USB, the gadget framework, FunctionFS, two virtual host and
# device controller pairs, and usbhid.
modules=(
  drivers/hid/hid.ko drivers/hid/uhid.ko drivers/hid/hid-generic.ko
  drivers/usb/common/usb-common.ko drivers/usb/core/usbcore.ko
  drivers/usb/gadget/udc/udc-core.ko fs/configfs/configfs.ko drivers/usb/gadget/libcomposite.ko
  drivers/usb/gadget/function/usb_f_fs.ko "drivers/usb/gadget/udc/dummy_hcd.ko num=2"
  drivers/hid/usbhid/usbhid.ko
)
module_files() {
  for m in "${modules[@]}"; do
    echo "${m%% *}"
  done
}
cache_complete() {
  [ -f "$1/vmlinuz" ] || return 1
  for f in $(module_files); do
    [ -f "$1/modules/$(basename "$f")" ] || return 1
  done
}

for tool in qemu-system-x86_64 cpio apt-get apt-cache dpkg-deb timeout; do
  if ! command -v "$tool" >/dev/null; then
    echo "run-kernel-tests: $tool is missing (scripts/install-deps.sh installs it)" >&2
    exit 1
  fi
done
busybox=/bin/busybox
if [ ! -x "$busybox" ] || ldd "$busybox" >/dev/null 2>&1; then
  echo "run-kernel-tests: a static $busybox is needed (package busybox-static)" >&2
  exit 1
fi

# The version the metapackage points at now, so the test follows the mirror's kernel.
kernel_version() {
  apt-cache depends linux-image-amd64 2>/dev/null |
    sed -n 's/^ *Depends: linux-image-\([0-9][^ ]*\)-amd64$/\1/p' | head -n 1
}
# Package lists that are missing or older than the mirror name a kernel it no longer has; as
# root, refresh them once.
lists_refreshed=no
refresh_lists() {
  [ "$lists_refreshed" = no ] && [ "$(id -u)" -eq 0 ] || return 1
  lists_refreshed=yes
  echo "run-kernel-tests: refreshing the package lists" >&2
  apt-get update -qq >/dev/null 2>&1
}
version=$(kernel_version)
if [ -z "$version" ] && refresh_lists; then
  version=$(kernel_version)
fi
if [ -z "$version" ]; then
  echo "run-kernel-tests: apt knows no linux-image-amd64; run apt-get update first" >&2
  exit 1
fi

cache=$work/cache/$version
if ! cache_complete "$cache"; then
  partial=$work/cache/download.partial
  rm -rf "$partial"
  mkdir -p "$partial"
  download() {
    echo "run-kernel-tests: downloading linux-image-$version-amd64 (once)"
    (cd "$partial" && apt-get download -q "linux-image-$version-amd64" >apt-download.log 2>&1)
  }
  if ! download && ! { refresh_lists && version=$(kernel_version) && download; }; then
    cat "$partial/apt-download.log" >&2
    echo "run-kernel-tests: could not download linux-image-$version-amd64 from the Debian" \
         "mirror (no network, or apt-get update not run)" >&2
    rm -rf "$partial"
    exit 1
  fi
  wanted=('./boot/vmlinuz-*')
  for f in $(module_files); do
    wanted+=("./lib/modules/*/kernel/$f")
  done
  (cd "$partial" &&
   dpkg-deb --fsys-tarfile linux-image-*.deb | tar -x --wildcards "${wanted[@]}")
  mkdir -p "$partial/modules"
  mv "$partial"/boot/vmlinuz-* "$partial/vmlinuz"
  for f in $(module_files); do
    mv "$partial"/lib/modules/*/kernel/"$f" "$partial/modules/"
  done
  rm -rf "$partial"/boot "$partial"/lib "$partial"/*.deb "$partial/apt-download.log"
  cache=$work/cache/$version
  rm -rf "$cache"
  mv "$partial" "$cache"
  # Kernels the mirror has moved on from are not needed again.
  find "$work/cache" -mindepth 1 -maxdepth 1 ! -name "$version" -exec rm -rf {} +
fi

root=$work/initramfs
rm -rf "$root"
mkdir -p "$root/bin" "$root/dev" "$root/proc" "$root/sys" "$root/tmp" "$root/modules" \
  "$root/tests"
cp "$busybox" "$root/bin/busybox"
cp "$here/init.sh" "$root/init"
chmod 755 "$root/init"
for m in "${modules[@]}"; do
  read -r path parameters <<<"$m"
  file=$(basename "$path")
  cp "$cache/modules/$file" "$root/modules/"
  echo "$file $parameters" >>"$root/modules/order"
done
for p in "${programs[@]}"; do
  cp "$p" "$root/tests/"
  basename "$p" >>"$root/tests/order"
done
(cd "$root" && find . | cpio -o -H newc --quiet) >"$work/initramfs.cpio"

log=$work/console.log
echo "run-kernel-tests: booting $version"
# no_timer_check: on a busy host the emulated machine's timer can miss the kernel's boot-time
# check, which then panics ("IO-APIC + timer doesn't work!"); a virtual timer needs no check.
timeout 600 qemu-system-x86_64 -accel tcg -cpu max -smp 1 -m 512 -nodefaults -no-user-config \
  -display none -serial stdio -no-reboot -kernel "$cache/vmlinuz" \
  -initrd "$work/initramfs.cpio" \
  -append "console=ttyS0 quiet loglevel=3 panic=-1 mitigations=off no_timer_check" </dev/null |
  tr -d '\r' | tee "$log" || true

status=$(sed -n 's/^kernel-tests-exit: \([0-9]*\)$/\1/p' "$log" | tail -n 1)
if [ -z "$status" ]; then
  echo "run-kernel-tests: the virtual machine ended without a test result (see $log)" >&2
  exit 1
fi
exit "$status"
