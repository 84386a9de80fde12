#!/usr/bin/env bash
# clang-tidy with the checks in .clang-tidy over the program logic and the backends; fails on any
# finding. Everything but the Win32 backends is analysed with the Linux build's compile database;
# the Win32 backends (hidlink/platform/win32, window/win32) with the Windows cross build's, for the
# MinGW-w64 target, given the C++ headers of the MinGW-w64 compiler that clang does not find alone.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --preset windows >/dev/null
mingw_cxx=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=include/c++/cstdlib)")
mkdir -p build/clang-tidy

# run <name> <compile database> <source regex> [extra clang arguments...]
run() {
  local name=$1 database=$2 sources=$3
  shift 3
  local log=build/clang-tidy/$name.log status=0 extra=()
  for arg in "$@"; do
    extra+=("-extra-arg=$arg")
  done
  run-clang-tidy-14 -p "$database" -quiet -j "$(nproc)" "${extra[@]}" "$sources" >"$log" 2>&1 ||
    status=$?
  # The findings, without colours, the commands run and the counts of warnings not shown.
  sed -i 's/\x1b\[[0-9;]*m//g' "$log"
  grep -v -e '^clang-tidy-14 ' -e 'warnings\? generated\.$' -e '^Suppressed ' \
    -e '^Use -header-filter' -e 'warnings treated as errors$' "$log" || true
  echo "clang-tidy $name: $(grep -c '^clang-tidy-14 ' "$log") files, $([ $status -eq 0 ] &&
    echo 'no findings' || echo FINDINGS)"
  return $status
}

status=0
run linux build/linux "^$PWD/(hidlink|window|servodiag|ampflash|wheelflash|updater|simdevices|cmdline|common)/" ||
  status=1
run win32 build/windows "^$PWD/(hidlink/platform/win32|window/win32)/" \
  --target=x86_64-w64-mingw32 "-isystem$mingw_cxx" "-isystem$mingw_cxx/x86_64-w64-mingw32" \
  "-isystem$mingw_cxx/backward" || status=1
exit $status
