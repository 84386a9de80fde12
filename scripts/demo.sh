#!/usr/bin/env bash
# Builds and starts servodiag on a simulated wheel controller.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null
cmake --build --preset linux --target servodiag-sim -j "$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open a window on (DISPLAY is not set)." >&2
  echo "Run it inside a virtual display instead:" >&2
  echo "  xvfb-run -a make demo" >&2
  echo "or from a desktop session: make demo" >&2
  exit 1
fi
exec build/linux/servodiag/servodiag-sim
