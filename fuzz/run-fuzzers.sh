#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, ASan + UBSan) and runs each for the
# given number of seconds (default 20), starting from its seed corpus in fuzz/corpus/<target>/.
# Inputs found along the way collect in build/fuzz/corpus/<target>/ and are the starting point of
# the next run; the seeds in the repository are never written. Fails when any target reports a
# crash, a sanitizer error, a broken expectation, a leak, a timeout or running out of memory;
# the input that did it is left in build/fuzz/findings/<target>/ and the target's log printed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The sysfs target writes a small tree for every input; memory is faster than disk for that.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

failed=()
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  work=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  log=build/fuzz/$target.log
  mkdir -p "$work" "$findings"
  if build/fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1; then
    echo "fuzz $target: $(grep -o 'Done [0-9]* runs' "$log" | tail -1) in ${seconds} s, no findings"
  else
    echo "fuzz $target: FINDING (input in $findings/)" >&2
    tail -n 40 "$log" >&2
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz targets with findings: ${failed[*]}" >&2
  exit 1
fi
