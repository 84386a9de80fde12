#!/usr/bin/env bash
# The updaters keep the computer awake through logind, checked on a D-Bus daemon of this test's
# own with a stand-in login1 service: each -sim updater takes the lock for the update and lets it
# go before it ends; with no system bus the update goes on and the log says the lock was not taken.
#   check-sleep-lock.sh AMPFLASH_SIM WHEELFLASH_SIM
set -euo pipefail
ampflash=$1
wheelflash=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT

cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/bus.conf" --nofork --nosyslog 2>"$work/daemon.log" &
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus_socket"
for _ in $(seq 100); do [ -S "$work/system_bus_socket" ] && break; sleep 0.1; done
/usr/bin/python3 "$here/login1-stand-in.py" "$work/events" &
for _ in $(seq 100); do grep -qx ready "$work/events" 2>/dev/null && break; sleep 0.1; done

# Both updaters at once on the stand-in, and one with no bus at all.
XDG_STATE_HOME="$work/with-logind" "$ampflash" --no-window --yes >/dev/null 2>&1 &
with_amp=$!
XDG_STATE_HOME="$work/with-logind" "$wheelflash" --no-window --yes >/dev/null 2>&1 &
with_wheel=$!
XDG_STATE_HOME="$work/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/none" \
  "$ampflash" --no-window --yes >/dev/null 2>&1 &
no_bus=$!

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for pid in $with_amp $with_wheel $no_bus; do
  wait "$pid" || fail "an update ended with status $? (pid $pid)"
done
sleep 0.5  # the stand-in sees the last release

for program in "$(basename "$ampflash")" "$(basename "$wheelflash")"; do
  grep -qxF "$(printf 'inhibit\tsleep:idle\t%s\tUpdating firmware\tblock' "$program")" \
    "$work/events" || fail "$program took no sleep and idle lock"
  grep -qxF "$(printf 'released\t%s\twhile running' "$program")" "$work/events" ||
    fail "$program did not let the lock go before it ended"
done
log=drivanta/simulated-updates.log
[ "$(grep -c '"outcome":"updated".*"sleep_lock":"held"' "$work/with-logind/$log")" -eq 2 ] ||
  fail "the log does not say that both updates held the lock"
grep -q '"outcome":"updated".*"sleep_lock":"not taken: no system bus' "$work/no-bus/$log" ||
  fail "without a system bus, the log does not say that the lock was not taken"

[ "$failures" -eq 0 ] || { cat "$work/events" >&2; exit 1; }
echo "sleep lock: taken and let go by both updaters; said in the log when there is no bus"
