#!/usr/bin/env bash
# Builds and starts servodiag on a simulated wheel controller.
#   scripts/demo.sh                     the window, on this machine's display
#   scripts/demo.sh --screenshot FILE   no display needed: the same window drawn into a PNG
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset linux >/dev/null

if [ "${1:-}" = "--screenshot" ]; then
  out=${2:?"usage: scripts/demo.sh --screenshot FILE.png"}
  cmake --build --preset linux --target screenshot -j "$(nproc)"
  QT_QPA_PLATFORM=offscreen build/linux/tools/screenshot/screenshot servodiag "$out"
  echo "servodiag on the simulated wheel controller: $out"
  exit 0
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'TEXT'
There is no display here to show the demo's window on (DISPLAY and WAYLAND_DISPLAY are unset).
To see it:
  - run `make demo` in a terminal of a desktop session (or over `ssh -X` from one);
  - or, without any screen, draw the window into a picture and open that elsewhere:
      scripts/demo.sh --screenshot servodiag-demo.png
TEXT
  exit 1
fi
cmake --build --preset linux --target servodiag-sim -j "$(nproc)"
exec build/linux/servodiag/servodiag-sim
