#!/bin/sh
# Starts each -sim program on a virtual display with the accessibility bus, and walks its window
# through AT-SPI (scripts/atspi-walk.py): names, tab order, the question before an update, and
# the announcements of a device that leaves and of an update's progress. Needs xvfb, dbus-x11,
# at-spi2-core and python3-pyatspi.
# Run inside xvfb-run and dbus-launch: xvfb-run -a dbus-launch --exit-with-session sh $0 BUILD_DIR
set -u
build=${1:-build/linux}
here=$(dirname "$0")
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
# The update that is let run logs to a folder of its own.
XDG_STATE_HOME=$(mktemp -d)
export XDG_STATE_HOME QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
rc=0
check() {
  program=$1
  shift
  case $program in
    servodiag) arguments="--unplug-at 12 --replug-at 14" ;;  # once the walk is done
    *) arguments="" ;;
  esac
  # shellcheck disable=SC2086
  "$build/$program/$program-sim" $arguments >/dev/null 2>&1 &
  pid=$!
  /usr/bin/python3 "$here/atspi-walk.py" "$program-sim" "$@" || rc=1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}
check servodiag --announces "not responding" --within 20
check ampflash --question update
check wheelflash --question cancel
kill "$bus" 2>/dev/null
rm -rf "$XDG_STATE_HOME"
exit $rc
