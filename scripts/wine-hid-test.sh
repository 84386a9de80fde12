#!/usr/bin/env bash
# Builds the shipped programs (Linux and Windows) and the gadget server, then boots the test
# machine on this machine's root: the programs run there unchanged, the Windows ones under Wine,
# whose HID stack serves them the gadget's hidraw node. Prints what each program said and how
# long it took; exits 1 when a program failed. Not part of `make test` yet: see the README.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target kernel_model_server servodiag
cmake --preset windows >/dev/null
cmake --build --preset windows --target servodiag ampflash ampflash-sim
exec tests/kernel/shipped/run-wine-hid.sh build build/linux/tests/kernel/shipped "${1:-amplifier}"
