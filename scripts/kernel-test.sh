#!/usr/bin/env bash
# Builds the real-kernel test programs and boots the test machine once: the hidraw backend's
# tests on uhid devices, then the programs' whole flows, one line per scenario:
# "scenario <name>: PASS" or "scenario <name>: FAIL <why>".
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target kernel_hidraw_tests kernel_scenarios
tests=build/linux/tests/kernel
exec tests/kernel/run-kernel-tests.sh "$tests/vm" "$tests/kernel_hidraw_tests" \
  "$tests/kernel_scenarios"
