#!/usr/bin/env bash
# Builds the shipped programs (Linux and Windows), their sample images and the gadget server, then
# boots the test machine on this machine's root: the programs run there unchanged, the Windows
# ones under Wine, whose HID stack serves them the gadget's hidraw node. Prints one line per
# scenario, "scenario <name>: PASS" or "FAIL <why>", and exits 1 when any failed. Arguments, if
# any, name the scenarios to run (tests/kernel/shipped/wine-hid.sh lists them). `make test` runs
# it last, on its own (the emulated machine's timings suffer beside other work), and `make
# kernel-test` after the kernel scenarios.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target kernel_model_server servodiag ampflash wheelflash \
  ampflash-sim-image wheelflash-sim-image capture-check capture-replay
cmake --preset windows >/dev/null
cmake --build --preset windows --target servodiag ampflash wheelflash ampflash-sim-image \
  wheelflash-sim-image
exec tests/kernel/shipped/run-wine-hid.sh build build/linux/tests/kernel/shipped "$@"
