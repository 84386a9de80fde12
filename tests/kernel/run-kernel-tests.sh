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

# shellcheck source=kernel-cache.sh
. "$here/kernel-cache.sh"
fetch_kernel "$work"

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
  tr -d '\r' | tee "$log" | grep -v '^capture ' || true

# The scenarios' captures of the real hidraw exchanges, one file each (see ScenarioCapture.h).
split_captures "$log" "$work/captures"
# Each judged against the protocol when the checker is given (CAPTURE_CHECK, as ctest gives it).
# A scenario that wrote no capture fails the check: a missing capture is no well-formed one.
checked=0
if [ -n "${CAPTURE_CHECK:-}" ]; then
  for name in usb.servodiag usb.ampflash usb.wheelflash; do
    if [ ! -s "$work/captures/$name.jsonl" ]; then
      echo "run-kernel-tests: the scenario $name wrote no capture" >&2
      checked=1
    fi
  done
  if ls "$work"/captures/*.jsonl >/dev/null 2>&1; then
    "$CAPTURE_CHECK" "$work"/captures/*.jsonl || checked=1
  fi
fi

status=$(sed -n 's/^kernel-tests-exit: \([0-9]*\)$/\1/p' "$log" | tail -n 1)
if [ -z "$status" ]; then
  echo "run-kernel-tests: the virtual machine ended without a test result (see $log)" >&2
  exit 1
fi
[ "$status" != 0 ] || status=$checked
exit "$status"
