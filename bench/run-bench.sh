#!/usr/bin/env bash
# `make bench`: an optimised build of the figures' program and servodiag-sim, then one run that
# prints `metric <name> <value> <unit>` lines, judges the figures against their targets and writes
# build/bench.json. About three minutes: servodiag-sim's memory is watched for three while the
# other figures are taken. Fails when a figure was not measured (its run did not do its job)
# or a target was missed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench-metrics servodiag-sim
rc=0
"$build/bench/bench-metrics" build/bench.json "$build/servodiag/servodiag-sim" || rc=$?
case "$rc" in
  0 | 1 | 3) echo "written: build/bench.json" ;;
esac
case "$rc" in
  0) ;;
  1) echo "make bench: a figure was not measured (see NOT MEASURED above)" >&2 ;;
  2) echo "make bench: BENCH_ONLY matches no measurement" >&2 ;;
  3) echo "make bench: a target was missed (see TARGET MISSED above)" >&2 ;;
  4) echo "make bench: build/bench.json could not be written" >&2 ;;
  *) echo "make bench: bench-metrics ended with status $rc" >&2 ;;
esac
exit "$rc"
