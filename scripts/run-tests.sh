#!/usr/bin/env bash
# Builds the Linux build, the sanitizer build and the Windows cross build, and runs every test
# (the Windows tests under Wine, inside a virtual X display).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
for preset in linux linux-asan windows; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

echo "=== test: linux"
ctest --preset linux -j "$jobs"
echo "=== test: linux-asan"
ctest --preset linux-asan -j "$jobs"

echo "=== test: windows (Wine)"
export WINEDEBUG=-all WINEPREFIX="$PWD/build/windows/wineprefix"
xvfb-run -a sh -c '
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -p
  ctest --preset windows
  rc=$?
  wineserver -k
  exit $rc'
