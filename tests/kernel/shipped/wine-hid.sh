#!/bin/sh
# Runs inside the machine run-shipped.sh boots: serves the device models as USB gadgets, one after
# another, runs the shipped programs against them (the Linux build, then the Windows build under
# Wine) and judges each scenario on one line, "scenario <name>: PASS" or "... FAIL <why>", from
# what the model received and from what the program itself said (status, identity, update log).
#   wine-hid.sh <build folder> <Wine prefix made on the build machine> [registry file]
# <build folder> holds linux/ and windows/ as the presets build them. The registry file, if
# given, is imported before the programs run (winebus's switches, see winebus-*.reg).
# SCENARIOS: the names to run (default all: linux.ampflash linux.servodiag linux.wheelflash
# win.identity win.ampflash linux.unplug; the unplug last, as it leaves the gadget unbound).
# EXPECTED: "name=value" words computed on the build machine, where python3 is sure to be:
# amp_linux_crc, amp_windows_crc, wheel_linux_crc and *_records, the CRC-32 and the number of
# the images' whole records, which is all an updater sends.
# WINE_TRACE: debug channels for Wine's services (winebus, hidclass, plugplay), whose lines about
# HID devices are printed; PROGRAM_TRACE: the same for the programs (/tmp/wine-*.err).
# UDEVD=1: run the shared root's systemd-udevd, for winebus's udevd mode (hotplug by netlink).
build=$1
prefix_source=$2
registry=$3
server=/run/shipped/kernel_model_server
all="linux.ampflash linux.servodiag linux.wheelflash win.identity win.ampflash linux.unplug"
scenarios=${SCENARIOS:-$all}
now() { cut -d' ' -f1 /proc/uptime; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f s", b - a }'; }
expected() { echo " $EXPECTED " | sed -n "s/.* $1=\([^ ]*\) .*/\1/p"; }
lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
wanted() { case " $scenarios " in *" $1 "*) return 0 ;; esac; return 1; }

# Each verdict is shown among its scenario's details as it is made; the "scenario" lines, one per
# scenario, come all together at the end, for a reader (or grep) who wants only them.
: >/run/shipped/verdicts
verdict() {
  echo "   => $1: $2"
  echo "scenario $1: $2" >>/run/shipped/verdicts
}

# The model's identity as the kernel read it from the gadget's descriptors, the reference the
# programs' printed identity is held to: dev_manufacturer, dev_product, dev_serial, dev_version
# (bcdDevice 0x0203 is version "2.3"), dev_hidname (the HID name Wine shows as the product).
read_device() {
  dev_serial="" dev_version="" dev_manufacturer="" dev_product="" dev_hidname=""
  for d in /sys/bus/usb/devices/*; do
    [ "$(cat "$d/idVendor" 2>/dev/null)" = 1d47 ] || continue
    dev_serial=$(cat "$d/serial")
    dev_manufacturer=$(cat "$d/manufacturer")
    dev_product=$(cat "$d/product")
    bcd=$(cat "$d/bcdDevice")
    dev_version="$(printf %d "0x${bcd%??}").$(printf %d "0x${bcd#??}")"
  done
  for n in /sys/class/hidraw/*; do
    dev_hidname=$(sed -n 's/^HID_NAME=//p' "$n/device/uevent" 2>/dev/null)
  done
}

# serve <model> [product id]: starts kernel_model_server, waits for its node (at most 30 s).
serve() {
  : >/run/shipped/server.log
  "$server" "$@" >/run/shipped/server.log 2>&1 &
  server_pid=$!
  t=$(now)
  i=0
  until grep -q 'model-server:' /run/shipped/server.log || [ $i -ge 300 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  echo "-- served $*: $(cat /run/shipped/server.log) after $(since "$t")"
  grep -q 'ready' /run/shipped/server.log || return 1
  read_device
  echo "   the kernel reads: $dev_manufacturer / $dev_product / $dev_serial / $dev_version ($dev_hidname)"
}
# unserve: stops the server; its summary of what the model received goes to $summary. A server
# that does not end within 10 s of SIGTERM is killed, and its summary is then missing.
unserve() {
  kill "$server_pid" 2>/dev/null
  i=0
  while kill -0 "$server_pid" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  kill -9 "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  summary=$(grep 'feature requests' /run/shipped/server.log)
  echo "   ${summary:-model-server ended without its summary}"
}

# judge_update <scenario> <status> <stdout file> <update log> <image key> <expected new version>
# The update counts only when every one of these holds: status 0; the identity printed before
# the update is the device's serial number and version; the model received the image's whole
# records (when its summary counts them); the log's last line says "updated", with the version
# the device came back with and the image's CRC-32.
judge_update() {
  name=$1 status=$2 out=$3 log=$4 key=$5 new=$6
  crc=$(expected "${key}_crc") records=$(expected "${key}_records")
  why=""
  [ "$status" = 0 ] || why="$why; status $status"
  grep -q "^Serial number: *$old_serial\$" "$out" || why="$why; printed serial is not $old_serial"
  grep -q "^Version: *$old_version\$" "$out" || why="$why; printed version is not $old_version"
  note=""
  case $summary in
    *"received "*)
      got=$(echo "$summary" | sed -n 's/.*received \([0-9]*\) records.*crc32 \([0-9a-f]*\).*/\1 \2/p')
      [ "$got" = "$records $crc" ] ||
        why="$why; the model received ${got:-nothing it counted} (records, CRC-32), not $records $crc"
      ;;
    "") why="$why; no summary from the model" ;;
    *) note="the model does not count what it received: CRC-32 judged from the log" ;;
  esac
  line=$(tail -n 1 "$log" 2>/dev/null | tr -d '\r')
  if [ -z "$line" ]; then
    why="$why; no line in the update log $log"
  else
    echo "$line" | grep -q '"outcome":"updated"' ||
      why="$why; log outcome $(echo "$line" | sed -n 's/.*"outcome":\("[^"]*"\).*/\1/p')"
    echo "$line" | grep -q "\"device_after\":{[^}]*\"version\":\"$new\"" ||
      why="$why; log's version after is not $new"
    echo "$line" | grep -q "\"crc32\":\"$crc\"" || why="$why; log's CRC-32 is not $crc"
  fi
  if [ -z "$why" ]; then
    verdict "$name" "PASS${note:+ ($note)}"
  else
    verdict "$name" "FAIL ${why#; }"
    failed="$failed $name"
  fi
}
failed=""

echo "== Linux build"
# The Linux programs log here, apart from anything the shared root holds.
export XDG_STATE_HOME=/tmp/state
linux_log=$XDG_STATE_HOME/drivanta/updates.log

# linux_update <scenario> <program> <image> <image key> <version after: new|same> <serve args>...
# Serves the model, runs the shipped Linux updater on it with --no-window --yes and judges the
# update. The amplifier comes back with a new version; the wheel controller comes back receiving
# images, with its version unchanged.
linux_update() {
  name=$1 program=$2 image=$3 key=$4 after=$5
  shift 5
  if ! serve "$@"; then
    verdict "$name" "FAIL the device could not be served"
    failed="$failed $name"
    return
  fi
  old_serial=$dev_serial old_version=$dev_version
  t=$(now)
  "$build/linux/$program/$program" --no-window --yes "$build/linux/$program/$image" \
    </dev/null >"/tmp/linux-$program.out" 2>"/tmp/linux-$program.err"
  status=$?
  echo "   $program: status $status in $(since "$t")"
  tail -n 4 "/tmp/linux-$program.err" | sed 's/^/   /'
  read_device
  unserve
  new_version=$dev_version
  # A version that should be new and is not means nothing was updated.
  [ "$after" = same ] || [ "$new_version" != "$old_version" ] || new_version="(not $old_version)"
  judge_update "$name" "$status" "/tmp/linux-$program.out" "$linux_log" "$key" "$new_version"
}

wanted linux.ampflash &&
  linux_update linux.ampflash ampflash servoamp-Orla-RevA.bin amp_linux new amplifier

if wanted linux.servodiag; then
  # The wheel controller's own product (1020): the amplifier answers no status reports.
  if serve wheel; then
    csv=/tmp/status.csv
    t=$(now)
    "$build/linux/servodiag/servodiag" --no-window --record "$csv" </dev/null \
      >/tmp/linux-servodiag.out 2>&1 &
    pid=$!
    # Its start under TCG takes a few seconds: the 3 s count from its first row.
    i=0
    until [ "$(lines "$csv")" -ge 2 ] || [ $i -ge 300 ]; do
      sleep 0.1
      i=$((i + 1))
    done
    sleep 3
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    echo "   servodiag --no-window --record: status $status in $(since "$t")"
    head -n 5 /tmp/linux-servodiag.out | cut -c1-160 | sed 's/^/   /'
    head -n 3 "$csv" | sed 's/^/   /'
    unserve
    # Rows, rows with values (device ok and a position), and the spacing of their times.
    rows=$(($(wc -l <"$csv") - 1))
    valued=$(awk -F, 'NR > 1 && $2 == "ok" && $3 != "" && $5 != "" && $6 != ""' "$csv" | wc -l)
    spacing=$(awk -F, 'NR > 1 {
        split($1, a, "T"); split(a[2], h, ":"); ms = ((h[1] * 60 + h[2]) * 60 + h[3]) * 1000
        if (n > 0) { d = ms - last; sum += d; if (d > max) max = d; if (min == "" || d < min) min = d }
        last = ms; n++ }
      END { if (n > 1) printf "%d %d %d", sum / (n - 1), min, max; else print "0 0 0" }' "$csv")
    read -r mean min max <<EOF
$spacing
EOF
    why=""
    [ "$status" = 0 ] || why="$why; status $status"
    grep -q "^Serial number: *$dev_serial\$" /tmp/linux-servodiag.out ||
      why="$why; printed serial is not $dev_serial"
    [ "$rows" -ge 10 ] || why="$why; $rows rows in about 3 s"
    [ "$valued" = "$rows" ] || why="$why; $((rows - valued)) of $rows rows without values"
    # About every 200 ms; TCG's load makes single gaps longer, never the average much.
    { [ "$mean" -ge 150 ] && [ "$mean" -le 300 ] && [ "$max" -le 1000 ]; } ||
      why="$why; rows every $mean ms on average (shortest $min, longest $max)"
    facts="$rows rows, every $mean ms on average, $min to $max"
    if [ -z "$why" ]; then
      verdict linux.servodiag "PASS ($facts)"
    else
      verdict linux.servodiag "FAIL ${why#; } ($facts)"
      failed="$failed linux.servodiag"
    fi
  else
    verdict linux.servodiag "FAIL the wheel controller could not be served"
    failed="$failed linux.servodiag"
  fi
fi

# The product wheelflash looks for (b02e) rather than servodiag's.
wanted linux.wheelflash &&
  linux_update linux.wheelflash wheelflash wheelflash.bin wheel_linux same wheel b02e

if wanted win.identity || wanted win.ampflash; then
  echo "== Wine"
  serve amplifier || { verdict win.ampflash "FAIL the amplifier could not be served"; exit 1; }
  old_serial=$dev_serial old_version=$dev_version
  if [ "$UDEVD" = 1 ]; then
    # The build machine must have the udev package for this. No "udevadm trigger": it refuses to
    # run in a chroot, and winebus finds the devices present at its start by reading /sys itself;
    # udevd is needed only for the netlink events of devices coming and going.
    t=$(now)
    /lib/systemd/systemd-udevd --daemon
    echo "systemd-udevd started in $(since "$t")"
  fi
  # Wine writes to its prefix and refuses one its user does not own (both are root here). The
  # shared root is writable in memory already (overlayfs), so the prefix is used where it is
  # unless PREFIX_COPY=1 asks for a copy in memory first (about 19 s for 700 MB over 9p, TCG).
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
  # The first start launches Wine's services (winebus in winedevice.exe among them): they keep
  # this start's standard error, so their trace goes to /tmp/wine-services.log.
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
  # %LOCALAPPDATA%\Drivanta\updates.log of the user Wine runs as.
  win_log=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Drivanta/updates.log

  if wanted win.identity; then
    # servodiag runs until it is stopped: it is stopped once it has printed its identity, the
    # lines judged here (its --list has no version). Its start under Wine and TCG takes 20-30 s.
    t=$(now)
    WINEDEBUG=${PROGRAM_TRACE:--all} timeout 120 wine "$build/windows/servodiag/servodiag.exe" \
      --no-window </dev/null >/tmp/wine-servodiag.out 2>/tmp/wine-servodiag.err &
    pid=$!
    i=0
    until grep -q '^Version:' /tmp/wine-servodiag.out || ! kill -0 "$pid" 2>/dev/null; do
      sleep 0.5
      i=$((i + 1))
    done
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    echo "   servodiag.exe --no-window: identity after $(since "$t"), then stopped"
    tr -d '\r' </tmp/wine-servodiag.out | head -n 4 | tee /tmp/wine-identity | sed 's/^/   /'
    field() { sed -n "s/^$1: *//p" /tmp/wine-identity; }
    why=""
    [ "$(field 'Serial number')" = "$dev_serial" ] ||
      why="$why; serial '$(field 'Serial number')', the device's is '$dev_serial'"
    [ "$(field Version)" = "$dev_version" ] ||
      why="$why; version '$(field Version)', the device's is '$dev_version'"
    # Wine's hidraw bus names the device after the hidraw node, not after its strings: the
    # manufacturer reads "hidraw" and the product is the kernel's HID name. Those are all Wine
    # can give; the device's own strings are accepted too, and the line says which were shown.
    m=$(field Manufacturer) p=$(field Product)
    case $m in
      "$dev_manufacturer") mnote="manufacturer the device's" ;;
      hidraw) mnote="manufacturer 'hidraw' (Wine's hidraw bus), not the device's '$dev_manufacturer'" ;;
      *) why="$why; manufacturer '$m'" ;;
    esac
    case $p in
      "$dev_product") pnote="product the device's" ;;
      "$dev_hidname") pnote="product '$p' (the kernel's HID name), not the device's '$dev_product'" ;;
      *) why="$why; product '$p'" ;;
    esac
    if [ -z "$why" ]; then
      verdict win.identity "PASS (serial and version the device's; $mnote; $pnote)"
    else
      verdict win.identity "FAIL ${why#; }"
      failed="$failed win.identity"
    fi
  fi

  if [ -n "$WINE_TRACE" ]; then
    echo "-- what Wine's HID bus said (services)"
    grep -E ':hid:|hidraw|udev|UDEV|1D47|1d47' /tmp/wine-services.log |
      grep -v "setupapi\|name doesn't match\|get_device_subsystem_info" | cut -c1-240 | head -n 60
  fi

  if wanted win.ampflash; then
    before=$(lines "$win_log")
    t=$(now)
    # Each line it writes to standard error gets the machine's uptime in front.
    { WINEDEBUG=${PROGRAM_TRACE:--all} wine "$build/windows/ampflash/ampflash.exe" --no-window --yes \
        "$build/windows/ampflash/servoamp-Orla-RevA.bin" </dev/null 2>&1 \
        >/tmp/wine-ampflash.raw; echo "status $?"; } |
      while read -r line; do echo "$(now) $line"; done >/tmp/wine-ampflash.err
    tr -d '\r' </tmp/wine-ampflash.raw >/tmp/wine-ampflash.out
    status=$(tail -n 1 /tmp/wine-ampflash.err | sed -n 's/.* status \([0-9]*\)$/\1/p')
    echo "   ampflash.exe: status $status in $(since "$t")"
    grep -v ':trace:\|:fixme:\|:err:\|:warn:\|wine32\|multiarch\|dpkg --add\|apt-get install' \
      /tmp/wine-ampflash.err | grep -v ' progress ' | tail -n 6 | sed 's/^/   /'
    read_device
    new_version=$dev_version
    [ "$new_version" != "$old_version" ] || new_version="(not $old_version)"
    # Only a line this update added counts.
    [ "$(lines "$win_log")" -gt "$before" ] || win_log=/nonexistent
    if [ -n "$PROGRAM_TRACE" ]; then
      echo "-- ampflash's side after the reset"
      grep -E 'hid#|Resetting|come back' /tmp/wine-ampflash.err | cut -c1-200 | uniq -c | tail -n 25
    fi
  fi
  if [ -n "$WINE_TRACE" ]; then
    echo "-- Wine's HID bus when devices came and went"
    grep -E 'maybe_add_devnode|udev_add_device|remov|inotify|monitor|unplug|hidraw[0-9]|UDEV' \
      /tmp/wine-services.log | grep -v "setupapi\|name doesn't match" | cut -c1-240 |
      sed -n '8,$p' | uniq -c | head -n 40
  fi
  wineserver -k
  unserve
  wanted win.ampflash &&
    judge_update win.ampflash "$status" /tmp/wine-ampflash.out "$win_log" amp_windows "$new_version"
fi

if wanted linux.unplug; then
  # The amplifier pulled out in the middle of the transfer: the gadget is unbound from its
  # controller, as the cable would be, once a third of the image has gone. The updater must end
  # (not wait for ever), say it failed (status 1) and log the update as not done.
  if serve amplifier; then
    before=$(lines "$linux_log")
    t=$(now)
    timeout 120 "$build/linux/ampflash/ampflash" --no-window --yes \
      "$build/linux/ampflash/servoamp-Orla-RevA.bin" </dev/null >/tmp/linux-unplug.out \
      2>/tmp/linux-unplug.err &
    pid=$!
    i=0
    until grep -q 'progress 30 %' /tmp/linux-unplug.err || ! kill -0 "$pid" 2>/dev/null ||
      [ $i -ge 1200 ]; do
      sleep 0.05
      i=$((i + 1))
    done
    for udc in /sys/kernel/config/usb_gadget/*/UDC; do echo "" >"$udc"; done
    echo "   unplugged after $(since "$t") ($(tail -n 1 /tmp/linux-unplug.err))"
    wait "$pid"
    status=$?
    echo "   ampflash: status $status in $(since "$t")"
    tail -n 3 /tmp/linux-unplug.err | sed 's/^/   /'
    unserve
    why=""
    [ "$status" = 1 ] || why="$why; status $status, not 1"
    line=""
    [ "$(lines "$linux_log")" -gt "$before" ] && line=$(tail -n 1 "$linux_log")
    outcome=$(echo "$line" | sed -n 's/.*"outcome":"\([^"]*\)".*/\1/p')
    failure=$(echo "$line" | sed -n 's/.*"failure":"\([^"]*\)".*/\1/p')
    if [ -z "$line" ]; then
      why="$why; no line in the update log"
    elif [ "$outcome" = updated ] || [ -z "$failure" ]; then
      why="$why; logged as '$outcome' with failure '$failure'"
    fi
    records=$(expected amp_linux_records)
    got=$(echo "$summary" | sed -n 's/.*received \([0-9]*\) records.*/\1/p')
    if [ -z "$got" ]; then
      note="the model gave no count"
    elif [ "$got" -ge "$records" ]; then
      why="$why; the model received all $got records"
    else
      note="the model received $got of $records records"
    fi
    if [ -z "$why" ]; then
      verdict linux.unplug "PASS ($note; logged '$outcome': $failure)"
    else
      verdict linux.unplug "FAIL ${why#; } ($note)"
      failed="$failed linux.unplug"
    fi
  else
    verdict linux.unplug "FAIL the amplifier could not be served"
    failed="$failed linux.unplug"
  fi
fi

echo "== the kernel's side: $(ls /dev/hidraw* 2>/dev/null)"
dmesg | grep -E 'usb 1-1|hidraw' | tail -n 4

echo "== verdicts"
cat /run/shipped/verdicts
[ -z "$failed" ] || { echo "failed:$failed"; exit 1; }
