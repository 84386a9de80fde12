#!/usr/bin/env bash
# `make bench`: an optimised build of the figures' program and servodiag-sim, then one run that
# prints `metric <name> <value> <unit>` lines and writes build/bench.json. About four minutes:
# servodiag-sim's memory is watched for three of them while the other figures are taken.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench-metrics servodiag-sim
"$build/bench/bench-metrics" build/bench.json "$build/servodiag/servodiag-sim"
echo "written: build/bench.json"
