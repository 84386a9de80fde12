#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Safe to run again: it
# installs only what is missing, and without root it prints the one command to run instead.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-qpa-plugins fonts-liberation
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth
  qemu-system-x86 busybox-static cpio
  clang-14 libclang-rt-14-dev clang-tidy-14
)

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
