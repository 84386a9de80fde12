#!/bin/sh
# Starts each -sim program on a virtual display with the accessibility bus, and walks its window
# through AT-SPI (scripts/atspi-walk.py). Needs xvfb, dbus-x11, at-spi2-core and python3-pyatspi.
# Run inside xvfb-run and dbus-launch: xvfb-run -a dbus-launch --exit-with-session sh $0 BUILD_DIR
set -u
build=${1:-build/linux}
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
rc=0
for program in servodiag ampflash wheelflash; do
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$build/$program/$program-sim" >/dev/null 2>&1 &
  pid=$!
  /usr/bin/python3 "$(dirname "$0")/atspi-walk.py" "$program-sim" || rc=1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
done
kill "$bus" 2>/dev/null
exit $rc
