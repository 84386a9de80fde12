#!/usr/bin/env bash
# Builds the real-kernel test programs and boots the test machine once: the hidraw backend's
# tests on uhid devices, then the programs' whole flows. Then boots the shipped programs' test
# machine (scripts/wine-hid-test.sh): the Linux programs and the Windows ones under Wine's HID
# stack, as users start them. One line per scenario: "scenario <name>: PASS" or
# "scenario <name>: FAIL <why>"; exits 1 when either machine failed.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target kernel_hidraw_tests kernel_scenarios capture-check
tests=build/linux/tests/kernel
status=0
CAPTURE_CHECK=build/linux/tools/capturecheck/capture-check tests/kernel/run-kernel-tests.sh "$tests/vm" "$tests/kernel_hidraw_tests" \
  "$tests/kernel_scenarios" || status=1
scripts/wine-hid-test.sh || status=1
exit "$status"
