#!/usr/bin/env bash
# Builds and starts servodiag on a simulated wheel controller.
#   scripts/demo.sh                     the window, on this machine's display; without one, the
#                                       status in this terminal (DEMO_SECONDS long when nobody
#                                       watches: standard input is not a terminal)
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

cmake --build --preset linux --target servodiag-sim -j "$(nproc)"
demo=build/linux/servodiag/servodiag-sim

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'TEXT'
There is no display here (DISPLAY and WAYLAND_DISPLAY are unset), so servodiag shows the
simulated wheel controller's status in this terminal instead. With a display, `make demo` opens
its window.
TEXT
  # Watched by someone: until Ctrl+C. Run by a script: a few seconds of readings, then it stops
  # as Ctrl+C would stop it.
  if [ -t 0 ]; then
    echo "Ctrl+C ends it." >&2
    # Job control puts the demo in a process group of its own, in the terminal's foreground:
    # Ctrl+C ends the demo alone, and `make` ends normally after it.
    set -m
    "$demo" --no-window
    set +m
  else
    timeout --preserve-status --signal=INT "${DEMO_SECONDS:-10}" "$demo" --no-window
  fi
  exit 0
fi
exec "$demo"
