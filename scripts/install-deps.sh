#!/usr/bin/env bash
# Installs the Debian packages that the demo, or the build and the tests, need. Safe to run
# again: it installs only what is missing, and without root it prints the one command to run
# instead.
#   scripts/install-deps.sh demo   what `make demo` needs
#   scripts/install-deps.sh        everything `make test` needs
set -euo pipefail

# The demo: the compiler and build tools, GoogleTest (configuring the build looks for it), Qt,
# and the font the windows are laid out for.
demo_packages=(
  g++ cmake ninja-build make pkg-config
  googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-qpa-plugins fonts-liberation
)

packages=(
  "${demo_packages[@]}"
  libbenchmark-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth
  # The windows as a screen reader meets them: the AT-SPI bus, a session bus and its client.
  at-spi2-core dbus-x11 python3-pyatspi
  # The lock that keeps the computer awake during an update (libsystemd's D-Bus client), tested
  # on a D-Bus daemon of the test's own with a stand-in logind written with python3-dbus.
  libsystemd-dev dbus-daemon python3-dbus python3-gi
  # The real-kernel tests of the hidraw backend (tests/kernel) make their devices with uhid,
  # which needs root on a kernel of their own: qemu boots a Debian kernel in a small virtual
  # machine, whose initramfs busybox-static and cpio build. The host's devices stay untouched.
  qemu-system-x86 busybox-static cpio
  # The shipped programs' test machine runs this machine's systemd-udevd, whose events tell
  # Wine's HID bus of devices coming and going (a reset amplifier among them).
  udev
  # The fuzz targets (clang with libFuzzer and the sanitizer runtimes) and the static analysis.
  clang-14 libclang-rt-14-dev clang-tidy-14
)

# The packages users install, and their checks: the .deb (dpkg-shlibdeps, lintian, the desktop
# entry and metainfo validators), the icons (rsvg-convert, icotool) and the Windows installer.
packages+=(dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin icoutils nsis)

if [ "${1:-}" = "demo" ]; then
  packages=("${demo_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Some packages are missing. Run this as root, then try again:" >&2
  echo "  sudo apt-get update && sudo $cmd" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
