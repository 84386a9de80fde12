#!/bin/sh
# Runs inside the machine run-shipped.sh boots: serves a model as a USB gadget, then runs the
# shipped programs against it, the Linux build and the Windows build under Wine, timing each.
#   wine-hid.sh <build folder> <Wine prefix made on the build machine> [registry file]
# <build folder> holds linux/ and windows/ as the presets build them. The registry file, if
# given, is imported before the programs run (winebus's switches, see winebus-*.reg).
# MODEL: amplifier (default; servodiag finds it too, ampflash updates it) or wheel (servodiag only).
# WINE_TRACE: debug channels for Wine's services (winebus, hidclass, plugplay), whose lines about
# HID devices are printed; PROGRAM_TRACE: the same for the programs (/tmp/wine-*.log).
# UDEVD=1: run the shared root's systemd-udevd, for winebus's udevd mode (hotplug by netlink).
build=$1
prefix_source=$2
registry=$3
server=/run/shipped/kernel_model_server
now() { cut -d' ' -f1 /proc/uptime; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f s", b - a }'; }

echo "== device"
"$server" "${MODEL:-amplifier}" >/run/shipped/server.log 2>&1 &
server_pid=$!
t=$(now)
until grep -q 'ready\|model-server:' /run/shipped/server.log 2>/dev/null; do sleep 0.1; done
echo "$(cat /run/shipped/server.log) after $(since "$t")"
for n in /sys/class/hidraw/*; do
  echo "$(basename "$n"): $(grep HID_ID "$n/device/uevent") $(grep HID_NAME "$n/device/uevent")"
done

echo "== Linux build"
t=$(now)
"$build/linux/servodiag/servodiag" --list
echo "servodiag --list: status $? in $(since "$t")"
t=$(now)
timeout 3 "$build/linux/servodiag/servodiag" --no-window 2>&1 | head -n 8
echo "servodiag --no-window: 3 s cut, first lines above, in $(since "$t")"

if [ "$UDEVD" = 1 ]; then
  # The build machine must have the udev package for this. No "udevadm trigger": it refuses to
  # run in a chroot, and winebus finds the devices present at its start by reading /sys itself;
  # udevd is needed only for the netlink events of devices coming and going.
  t=$(now)
  /lib/systemd/systemd-udevd --daemon
  echo "systemd-udevd started in $(since "$t")"
fi

echo "== Wine"
# Wine writes to its prefix and refuses one its user does not own (both are root here). The
# shared root is writable in memory already (overlayfs), so the prefix is used where it is unless
# PREFIX_COPY=1 asks for a copy in memory first (about 19 s for 700 MB over 9p under TCG).
export WINEDEBUG=-all HOME=/root
export WINEPREFIX="$prefix_source"
if [ "$PREFIX_COPY" = 1 ]; then
  WINEPREFIX=/root/prefix
  t=$(now)
  cp -a "$prefix_source" "$WINEPREFIX"
  echo "prefix copied into memory in $(since "$t") ($(du -sm "$WINEPREFIX" | cut -f1) MB)"
fi
# One server for all runs (-p), as the build machine's tests do: each program then starts
# without waiting for Wine's services again.
wineserver -p
# The first start launches Wine's services (winebus in winedevice.exe among them): they keep this
# start's standard error, so their trace goes to /tmp/wine-services.log.
t=$(now)
WINEDEBUG=${WINE_TRACE:--all} wine cmd /c echo hi 2>/tmp/wine-services.log
echo "first wine cmd /c echo: $(since "$t")"
if [ -n "$registry" ]; then
  t=$(now)
  wine regedit /S "$(winepath -w "$registry")"
  echo "regedit $registry: $(since "$t")"
  # winebus reads its switches when it starts: restart Wine's services with the new ones.
  wineserver -k; wineserver -w; wineserver -p
  t=$(now)
  WINEDEBUG=${WINE_TRACE:--all} wine cmd /c echo hi 2>/tmp/wine-services.log
  echo "wine cmd /c echo after the restart: $(since "$t")"
fi
t=$(now)
wine cmd /c echo hi
echo "second wine cmd /c echo: $(since "$t")"

run_exe() {
  name=$1
  shift
  t=$(now)
  # Each line the program writes to standard error gets the machine's uptime in front.
  { WINEDEBUG=${PROGRAM_TRACE:--all} "$@" 2>&1 >"/tmp/wine-$name.out"; echo "status $?"; } |
    while read -r line; do echo "$(now) $line"; done >"/tmp/wine-$name.log"
  head -n 12 "/tmp/wine-$name.out"
  grep -v ':trace:\|:fixme:\|:err:\|:warn:\|wine32\|multiarch\|dpkg --add\|apt-get install' \
    "/tmp/wine-$name.log" | tail -n 16
  echo "$name: started at $t, ended at $(now), $(since "$t")"
  tail -n 1 "/tmp/wine-$name.log" | grep -q ' status 0$' || failed="$failed $name"
}
failed=""

run_exe servodiag-list wine "$build/windows/servodiag/servodiag.exe" --list
run_exe servodiag-nowindow timeout 20 wine "$build/windows/servodiag/servodiag.exe" --no-window
if [ -n "$WINE_TRACE" ]; then
  echo "-- what Wine's HID bus said (services)"
  grep -E ':hid:|hidraw|udev|UDEV|1D47|1d47' /tmp/wine-services.log |
    grep -v "setupapi\|name doesn't match\|get_device_subsystem_info" | cut -c1-240 | head -n 60
fi
[ "${MODEL:-amplifier}" = amplifier ] && run_exe ampflash wine "$build/windows/ampflash/ampflash.exe" --no-window --yes \
  "$build/windows/ampflash/servoamp-Orla-RevA.bin"
if [ -n "$WINE_TRACE" ]; then
  echo "-- Wine's HID bus when devices came and went"
  grep -E 'maybe_add_devnode|udev_add_device|remov|inotify|monitor|unplug|hidraw[0-9]|UDEV' \
    /tmp/wine-services.log | grep -v "setupapi\|name doesn't match" | cut -c1-240 |
    sed -n '8,$p' | uniq -c | head -n 40
fi
if [ -n "$PROGRAM_TRACE" ]; then
  echo "-- ampflash's side after the reset"
  grep -E 'SetupDiGetClassDevs|SetupDiEnumDeviceInterfaces|CreateFile[AW].*hid#|HidD_GetAttributes' \
    /tmp/wine-ampflash.log | sed -n '/Resetting/,$p;' | cut -c1-200 | head -n 5
  grep -E 'hid#|Resetting|come back' /tmp/wine-ampflash.log | cut -c1-200 | uniq -c | tail -n 25
fi
echo "-- the kernel's side: $(ls /dev/hidraw*)"
dmesg | grep -E 'usb 1-1|hidraw' | tail -n 8
wineserver -k

kill "$server_pid"
wait "$server_pid"
cat /run/shipped/server.log
# servodiag --no-window runs until it is stopped: its cut (status 124) is no failure.
failed=$(echo "$failed" | sed 's/ servodiag-nowindow//')
[ -z "$failed" ] || { echo "failed:$failed"; exit 1; }
