#!/bin/sh
# Runs inside the machine run-shipped.sh boots: serves the device models as USB gadgets, one after
# another, beside a headset of another vendor that stays on the bus throughout; runs the shipped
# programs against them (the Linux build, then the Windows build under Wine) and judges each
# scenario on one line, "scenario <name>: PASS" or "... FAIL <why>", from what the model received
# and from what the program itself said (status, identity, recorded rows, update log).
#   wine-hid.sh <build folder> <Wine prefix made on the build machine, winebus's switches set>
# <build folder> holds linux/ and windows/ as the presets build them.
# SCENARIOS: the names to run (default all, in this order: linux.ampflash linux.servodiag
# linux.wheelflash linux.unplug win.ampflash win.wheelflash win.servodiag win.unplug
# win.identity). win.identity is judged from the identity that servodiag.exe, ampflash.exe and
# wheelflash.exe printed in the three scenarios before it, which it runs if they are not named.
# EXPECTED: "name=value" words computed on the build machine, where python3 is sure to be:
# <program>_<linux|win>_crc and _records, the CRC-32 and the number of the images' whole records,
# which is all an updater sends.
# WINE_TRACE: debug channels for Wine's services (winebus, hidclass, plugplay), whose lines about
# HID devices are printed; PROGRAM_TRACE: the same for the programs (/tmp/win.*.err).
# UDEVD=1: run the shared root's systemd-udevd, for winebus's udevd mode (hotplug by netlink).
build=$1
export WINEPREFIX="$2"
server=/run/shipped/kernel_model_server
all="linux.ampflash linux.servodiag linux.wheelflash linux.unplug win.ampflash win.wheelflash
win.servodiag win.unplug win.identity"
scenarios=$(echo ${SCENARIOS:-$all})
case " $scenarios " in
  *" win.identity "*) scenarios="$scenarios win.ampflash win.wheelflash win.servodiag" ;;
esac
now() { cut -d' ' -f1 /proc/uptime; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f s", b - a }'; }
expected() { echo " $EXPECTED " | sed -n "s/.* $1=\([^ ]*\) .*/\1/p"; }
lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
wanted() { case " $scenarios " in *" $1 "*) return 0 ;; esac; return 1; }
# await <tenths of a second> <command>...: until the command succeeds; false if it never did.
await() {
  limit=$1 i=0
  shift
  until "$@"; do
    [ $i -lt "$limit" ] || return 1
    sleep 0.1
    i=$((i + 1))
  done
}

# Each verdict is shown among its scenario's details as it is made; the "scenario" lines, one per
# scenario, come all together at the end, for a reader (or grep) who wants only them.
: >/run/shipped/verdicts
failed=""
verdict() { # <scenario> <problems, each after "; "> [facts]
  if [ -z "$2" ]; then
    line="PASS${3:+ ($3)}"
  else
    line="FAIL ${2#; }${3:+ ($3)}"
    failed="$failed $1"
  fi
  echo "   => $1: $line"
  echo "scenario $1: $line" >>/run/shipped/verdicts
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
    grep -q '^HID_ID=.*:00001D47:' "$n/device/uevent" 2>/dev/null || continue
    dev_hidname=$(sed -n 's/^HID_NAME=//p' "$n/device/uevent")
  done
}

# serve <model> [product id]: starts kernel_model_server, waits for its node (at most 30 s); the
# server writes the values of the status reports it answered to /run/shipped/status-rows.
serve() {
  : >/run/shipped/server.log
  MODEL_STATUS_ROWS=/run/shipped/status-rows "$server" "$@" >/run/shipped/server.log 2>&1 &
  server_pid=$!
  t=$(now)
  await 300 grep -q 'model-server:' /run/shipped/server.log
  echo "-- served $*: $(cat /run/shipped/server.log) after $(since "$t")"
  grep -q 'ready' /run/shipped/server.log || return 1
  node=$(sed -n 's/.*ready //p' /run/shipped/server.log)
  read_device
  echo "   the kernel reads: $dev_manufacturer / $dev_product / $dev_serial / $dev_version ($dev_hidname)"
}
# unserve: stops the server; its summary of what the model received goes to $summary. A server
# that does not end within 10 s of SIGTERM is killed, and its summary is then missing.
unserve() {
  kill "$server_pid" 2>/dev/null
  await 100 eval '! kill -0 "$server_pid" 2>/dev/null'
  kill -9 "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
  summary=$(grep 'feature requests' /run/shipped/server.log)
  echo "   ${summary:-model-server ended without its summary}"
}
# pull_plug, plug_in: the server takes the gadget off the bus, as a pulled cable would, or back.
pull_plug() { kill -USR1 "$server_pid"; }
plug_in() { kill -USR2 "$server_pid"; }
# held_open: some process holds the served device's node open. winebus opens a hidraw node when
# it makes a HID device of it and keeps it open, so a Windows program started before that would
# find nothing.
held_open() { find /proc/[0-9]*/fd -lname "/dev/$node" 2>/dev/null | grep -q .; }
await_wine() {
  [ "$platform" = win ] || return 0
  t=$(now)
  await 600 held_open || echo "   Wine's HID bus did not open /dev/$node within 60 s"
  echo "   Wine's HID bus opened /dev/$node after $(since "$t")"
}

# launch <platform> <program> <argument>...: the shipped program with no input, at most 240 s,
# as this shell's child to run in the background (`launch ... & pid=$!`). Output goes where the
# caller sends it; finish <name> then takes Wine's carriage returns out of /tmp/<name>.out and
# .err.
launch() {
  p=$1 program=$2
  shift 2
  if [ "$p" = win ]; then
    set -- env WINEDEBUG="${PROGRAM_TRACE:--all}" wine "$build/windows/$program/$program.exe" "$@"
  else
    set -- "$build/linux/$program/$program" "$@"
  fi
  exec timeout 240 "$@" </dev/null
}
finish() {
  for f in "/tmp/$1.out" "/tmp/$1.err"; do
    tr -d '\r' <"$f" >"$f.tmp" && mv "$f.tmp" "$f"
  done
}
image() { # <program>: the sample image its build made
  case $1 in
    ampflash) echo "$build/$folder/ampflash/servoamp-Orla-RevA.bin" ;;
    *) echo "$build/$folder/wheelflash/wheelflash.bin" ;;
  esac
}

# check_identity <program> <stdout file>: id_problems holds where the identity the program printed
# differs from the device's, each after "; ", and id_facts what was accepted. Wine's hidraw bus
# names the device after the hidraw node, not after its strings: the manufacturer reads "hidraw"
# and the product is the kernel's HID name. Those are all Wine can give; under Wine they are
# accepted as well as the device's own strings, and the facts say which were shown. The Windows
# programs' results are kept for win.identity.
check_identity() {
  field() { sed -n "s/^$1: *//p" "$2" | head -n 1; }
  id_problems="" id_facts="serial and version the device's"
  [ "$(field 'Serial number' "$2")" = "$dev_serial" ] ||
    id_problems="$id_problems; serial '$(field 'Serial number' "$2")', the device's is '$dev_serial'"
  [ "$(field Version "$2")" = "$dev_version" ] ||
    id_problems="$id_problems; version '$(field Version "$2")', the device's is '$dev_version'"
  m=$(field Manufacturer "$2") pr=$(field Product "$2")
  if [ "$m" = "$dev_manufacturer" ]; then
    id_facts="$id_facts; manufacturer the device's"
  elif [ "$platform" = win ] && [ "$m" = hidraw ]; then
    id_facts="$id_facts; manufacturer 'hidraw' (Wine's hidraw bus)"
  else
    id_problems="$id_problems; manufacturer '$m', the device's is '$dev_manufacturer'"
  fi
  if [ "$pr" = "$dev_product" ]; then
    id_facts="$id_facts; product the device's"
  elif [ "$platform" = win ] && [ "$pr" = "$dev_hidname" ]; then
    id_facts="$id_facts; product the kernel's HID name '$pr'"
  else
    id_problems="$id_problems; product '$pr', the device's is '$dev_product'"
  fi
  [ "$platform" = win ] || return 0
  identities="$identities$(echo "$id_problems" | sed "s/; /; $1.exe: /g")"
  identity_notes="$identity_notes; $1.exe: $id_facts"
}
identities="" identity_notes=""

# update <platform> <program> <version after: new|same> <serve arguments>...
# Serves the model, runs the shipped updater on it with --no-window --yes --capture and judges the
# update (run-wine-hid.sh judges and replays the capture).
# It counts only when every one of these holds: status 0; the identity printed before the
# update is the device's; the model received the image's whole records, with the image's CRC-32;
# the update log has a new last line that says "updated", with the version the device came back
# with and the image's CRC-32. The amplifier comes back with a new version; the wheel controller
# comes back receiving images (its descriptor without report IDs: it counts only the records
# sent with ID 0x00), with its version unchanged.
update() {
  platform=$1 program=$2 after=$3
  shift 3
  name=$platform.$program
  serve "$@" || { verdict "$name" "; the device could not be served"; return; }
  await_wine
  old_version=$dev_version
  log=$(update_log) before=$(lines "$(update_log)")
  t=$(now)
  # Its calls captured as a user's --capture would; Wine's programs see this root as drive Z:.
  capture=/tmp/$name.jsonl
  [ "$platform" = linux ] || capture=Z:$capture
  launch "$platform" "$program" --no-window --yes --capture "$capture" "$(image "$program")" \
    >"/tmp/$name.out" 2>"/tmp/$name.err" &
  wait $!
  status=$?
  finish "$name"
  # For run-shipped.sh to collect into captures/<name>.jsonl on the build machine.
  sed "s/^/capture $name: /" "/tmp/$name.jsonl" 2>/dev/null
  echo "   $program: status $status in $(since "$t")"
  grep -v ' progress \|wine32\|multiarch\|dpkg --add\|apt-get install' "/tmp/$name.err" |
    tail -n 4 | sed 's/^/   /'
  check_identity "$program" "/tmp/$name.out"
  problems=$id_problems
  read_device
  unserve
  new=$dev_version
  # A version that should be new and is not means nothing was updated.
  [ "$after" = same ] || [ "$new" != "$old_version" ] || new="(not $old_version)"
  crc=$(expected "${program}_${platform}_crc") records=$(expected "${program}_${platform}_records")
  [ "$status" = 0 ] || problems="$problems; status $status"
  got=$(echo "$summary" | sed -n 's/.*received \([0-9]*\) records.*crc32 \([0-9a-f]*\).*/\1 \2/p')
  [ "$got" = "$records $crc" ] ||
    problems="$problems; the model received ${got:-nothing it counted} (records, CRC-32), not $records $crc"
  case $summary in
    *"normal mode"*) problems="$problems; the wheel controller is not receiving images" ;;
  esac
  line=""
  [ "$(lines "$log")" -gt "$before" ] && line=$(tail -n 1 "$log" | tr -d '\r')
  if [ -z "$line" ]; then
    problems="$problems; no new line in the update log $log"
  else
    echo "$line" | grep -q '"outcome":"updated"' ||
      problems="$problems; log outcome $(echo "$line" | sed -n 's/.*"outcome":\("[^"]*"\).*/\1/p')"
    echo "$line" | grep -q "\"device_after\":{[^}]*\"version\":\"$new\"" ||
      problems="$problems; log's version after is not $new"
    echo "$line" | grep -q "\"crc32\":\"$crc\"" || problems="$problems; log's CRC-32 is not $crc"
  fi
  verdict "$name" "$problems" "$records records, CRC-32 $crc, version $old_version to $new"
}

# diagnose <platform>: servodiag --no-window --record on the wheel controller for 3 s of rows; the
# plug pulled, then put back once rows say "not responding"; stopped 2 s after values are back.
# Every row with values must be one the model answered (its status-rows file): a byte lost,
# shifted or padded on the way would change a value.
diagnose() {
  platform=$1
  name=$platform.servodiag csv=/tmp/$platform-status.csv
  # The wheel controller's own product (1020): the amplifier answers no status reports.
  serve wheel || { verdict "$name" "; the wheel controller could not be served"; return; }
  await_wine
  t=$(now)
  launch "$platform" servodiag --no-window --record "$csv" >"/tmp/$name.out" 2>"/tmp/$name.err" &
  pid=$!
  # Its start under TCG takes seconds (natively) to half a minute (Wine): the 3 s count from its
  # first row.
  await 1200 eval '[ "$(lines "$csv")" -ge 2 ]'
  sleep 3
  pull_plug
  await 200 grep -q ',not responding,' "$csv"
  pulled=$(lines "$csv")
  plug_in
  await 900 eval 'sed -n "$pulled,\$p" "$csv" | grep -q ",ok,"'
  sleep 2
  # Ctrl+C on Linux. Wine passes SIGINT to a Windows program as Ctrl+C only when it has a
  # console, which none started here has: SIGTERM ends it as TerminateProcess would (status 143),
  # and the rows, each written whole as it is made, must all be there.
  if [ "$platform" = win ]; then stop=TERM stopped=143; else stop=INT stopped=0; fi
  kill -$stop "$pid"
  wait "$pid"
  status=$?
  finish "$name"
  echo "   servodiag --no-window --record: status $status in $(since "$t")"
  head -n 5 "/tmp/$name.out" | cut -c1-160 | sed 's/^/   /'
  read_device
  check_identity servodiag "/tmp/$name.out"
  problems=$id_problems
  unserve
  tr -d '\r' <"$csv" >"$csv.rows"
  # Phases: before the first "not responding" row, those rows, the rows with values after them.
  : >"$csv.0"
  : >"$csv.2"
  awk -F, 'NR > 1 { if ($2 != "ok") p = 1; else if (p) p = 2; print > ("'"$csv"'." (p + 0)) }' \
    "$csv.rows"
  before=$(lines "$csv.0") after=$(lines "$csv.2")
  silent=$(grep -c ',not responding,' "$csv.rows")
  foreign=$(grep ',ok,' "$csv.rows" | cut -d, -f3- | grep -c -v -x -F -f /run/shipped/status-rows)
  spacing=$(awk -F, '{
      split($1, a, "T"); split(a[2], h, ":"); ms = ((h[1] * 60 + h[2]) * 60 + h[3]) * 1000
      if (n > 0) { d = ms - last; sum += d; if (d > max) max = d; if (min == "" || d < min) min = d }
      last = ms; n++ }
    END { if (n > 1) printf "%d %d %d", sum / (n - 1), min, max; else print "0 0 0" }' "$csv.0")
  read -r mean min max <<EOF
$spacing
EOF
  [ "$status" = $stopped ] || problems="$problems; status $status after SIG$stop"
  [ "$before" -ge 10 ] || problems="$problems; $before rows in about 3 s"
  [ "$foreign" = 0 ] || problems="$problems; $foreign rows with values the model never sent"
  [ "$silent" -ge 1 ] || problems="$problems; no row says not responding after the plug was pulled"
  [ "$after" -ge 1 ] || problems="$problems; no values again once plugged in"
  # About every 200 ms; TCG's load makes single gaps longer, never the average much.
  { [ "$mean" -ge 150 ] && [ "$mean" -le 300 ] && [ "$max" -le 1000 ]; } ||
    problems="$problems; rows every $mean ms on average (shortest $min, longest $max)"
  verdict "$name" "$problems" "$before rows, every $mean ms on average, $min to $max; $silent not \
responding; $after again, all $((before + after)) the model's"
}

# unplug <platform>: the amplifier pulled out once a third of the image has gone. The updater
# must end (not wait for ever), say it failed (status 1) and log the update as not done.
unplug() {
  platform=$1
  name=$platform.unplug
  serve amplifier || { verdict "$name" "; the amplifier could not be served"; return; }
  await_wine
  log=$(update_log) before=$(lines "$(update_log)")
  t=$(now)
  launch "$platform" ampflash --no-window --yes "$(image ampflash)" \
    >"/tmp/$name.out" 2>"/tmp/$name.err" &
  pid=$!
  await 2400 eval 'grep -q "progress 30 %" "/tmp/$name.err" || ! kill -0 $pid 2>/dev/null'
  pull_plug
  echo "   unplugged after $(since "$t") ($(grep progress "/tmp/$name.err" | tail -n 1 | tr -d '\r'))"
  wait "$pid"
  status=$?
  finish "$name"
  echo "   ampflash: status $status in $(since "$t")"
  grep -v ' progress ' "/tmp/$name.err" | tail -n 3 | sed 's/^/   /'
  unserve
  problems=""
  [ "$status" = 1 ] || problems="$problems; status $status, not 1"
  line=""
  [ "$(lines "$log")" -gt "$before" ] && line=$(tail -n 1 "$log" | tr -d '\r')
  outcome=$(echo "$line" | sed -n 's/.*"outcome":"\([^"]*\)".*/\1/p')
  failure=$(echo "$line" | sed -n 's/.*"failure":"\([^"]*\)".*/\1/p')
  if [ -z "$line" ]; then
    problems="$problems; no new line in the update log"
  elif [ "$outcome" = updated ] || [ -z "$failure" ]; then
    problems="$problems; logged as '$outcome' with failure '$failure'"
  fi
  records=$(expected "ampflash_${platform}_records")
  got=$(echo "$summary" | sed -n 's/.*received \([0-9]*\) records.*/\1/p')
  # Some records and not all: otherwise the plug was not pulled in the middle of the transfer.
  [ -n "$got" ] && [ "$got" -gt 0 ] && [ "$got" -lt "$records" ] ||
    problems="$problems; the model received ${got:-an uncounted number of} records of $records"
  verdict "$name" "$problems" "the model received $got of $records records; logged '$outcome': \
$failure"
}

# A HID device of another vendor, enumerated before every device under test (hidraw0).
MODEL_STATUS_ROWS="" "$server" headset >/run/shipped/headset.log 2>&1 &
await 300 grep -q 'model-server:' /run/shipped/headset.log
echo "-- beside them throughout: $(cat /run/shipped/headset.log)"

echo "== Linux build"
platform=linux folder=linux
# The Linux programs log here, apart from anything the shared root holds.
export XDG_STATE_HOME=/tmp/state
update_log() { echo "$XDG_STATE_HOME/drivanta/updates.log"; }
wanted linux.ampflash && update linux ampflash new amplifier
wanted linux.servodiag && diagnose linux
# The product wheelflash looks for (b02e) rather than servodiag's.
wanted linux.wheelflash && update linux wheelflash same wheel b02e
wanted linux.unplug && unplug linux

if echo "$scenarios" | grep -q 'win\.'; then
  echo "== Wine"
  platform=win folder=windows
  if [ "$UDEVD" = 1 ]; then
    # The build machine must have the udev package for this. No "udevadm trigger": it refuses to
    # run in a chroot, and winebus finds the devices present at its start by reading /sys itself;
    # udevd is needed only for the netlink events of devices coming and going.
    t=$(now)
    /lib/systemd/systemd-udevd --daemon
    echo "systemd-udevd started in $(since "$t")"
  fi
  # Wine writes to its prefix and refuses one its user does not own (both are root here); the
  # shared root is writable in memory (overlayfs). One server for all runs (-p), as the build
  # machine's tests do: each program then starts without waiting for Wine's services again.
  export WINEDEBUG=-all HOME=/root
  wineserver -p
  # The first start launches Wine's services (winebus in winedevice.exe among them): they keep
  # this start's standard error, so their trace goes to /tmp/wine-services.log.
  t=$(now)
  WINEDEBUG=${WINE_TRACE:--all} wine cmd /c echo hi 2>/tmp/wine-services.log
  echo "first wine cmd /c echo: $(since "$t")"
  # %LOCALAPPDATA%\Drivanta\updates.log of the user Wine runs as.
  update_log() { echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Drivanta/updates.log"; }

  if [ -n "$WINE_TRACE" ]; then
    echo "-- what Wine's HID bus said (services)"
    grep -E ':hid:|hidraw|udev|UDEV|1D47|1d47' /tmp/wine-services.log |
      grep -v "setupapi\|name doesn't match\|get_device_subsystem_info" | cut -c1-240 | head -n 60
  fi
  wanted win.ampflash && update win ampflash new amplifier
  wanted win.wheelflash && update win wheelflash same wheel b02e
  wanted win.servodiag && diagnose win
  wanted win.unplug && unplug win
  # Printed by each of the three programs on the runs above, each against its own device.
  wanted win.identity && verdict win.identity "$identities" "${identity_notes#; }"
  if [ -n "$WINE_TRACE" ]; then
    echo "-- Wine's HID bus when devices came and went"
    grep -E 'maybe_add_devnode|udev_add_device|remov|inotify|monitor|unplug|hidraw[0-9]|UDEV' \
      /tmp/wine-services.log | grep -v "setupapi\|name doesn't match" | cut -c1-240 |
      sed -n '8,$p' | uniq -c | head -n 40
  fi
  wineserver -k
fi

echo "== the kernel's side: $(ls /dev/hidraw* 2>/dev/null)"
dmesg | grep -E 'usb [12]-1|hidraw' | tail -n 4

echo "== verdicts"
cat /run/shipped/verdicts
[ -z "$failed" ] || { echo "failed:$failed"; exit 1; }
