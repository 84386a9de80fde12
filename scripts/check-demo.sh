#!/usr/bin/env bash
# `make demo` on a machine without a display, as a script runs it: it has to exit 0 having shown
# live readings of the simulated wheel controller.
set -euo pipefail
cd "$(dirname "$0")/.."

log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! env -u DISPLAY -u WAYLAND_DISPLAY DEMO_SECONDS=2 make --no-print-directory demo \
    </dev/null >"$log" 2>&1; then
  cat "$log"
  echo "make demo without a display: failed" >&2
  exit 1
fi
readings=$(grep -c ' ok position_counts=' "$log" || true)
if [ "$readings" -lt 3 ]; then
  cat "$log"
  echo "make demo without a display: $readings live readings, expected several" >&2
  exit 1
fi
echo "make demo without a display: exit 0, $readings live readings"
