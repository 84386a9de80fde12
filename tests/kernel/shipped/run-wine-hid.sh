#!/usr/bin/env bash
# The shipped programs, Linux and Windows (under Wine), against USB gadgets of the real kernel, in
# one command, one line per scenario (see wine-hid.sh):
#   run-wine-hid.sh <build folder> <work folder> [scenario]...
# <build folder> holds linux/ and windows/ as the presets build them; linux/ must have built
# kernel_model_server (or SHIPPED_SERVER names it). The Wine prefix is made here, on the build machine (about 10 s), once:
# under TCG its first start in the machine alone would take minutes. With the udev package
# installed here, the machine runs systemd-udevd and winebus follows its events; without it,
# winebus watches /dev itself, which finds the devices but loses the amplifier after its reset.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mkdir -p "$2" && cd "$2" && pwd)
shift 2
export SCENARIOS="$*"
here=$(cd "$(dirname "$0")" && pwd)

server=${SHIPPED_SERVER:-$build/linux/tests/kernel/kernel_model_server}
[ -x "$server" ] || { echo "run-wine-hid: build kernel_model_server first" >&2; exit 1; }
if [ -x /lib/systemd/systemd-udevd ]; then
  export UDEVD=1 mode=udevd
else
  echo "run-wine-hid: no systemd-udevd here (package udev): winebus watches /dev instead" >&2
  export UDEVD=0 mode=inotify
fi
registry=$here/winebus-hidraw.reg
[ "$mode" = inotify ] || registry=$here/winebus-hidraw-$mode.reg
# winebus's switches go into the prefix here too: imported in the machine they cost a regedit and
# a restart of Wine's services, about 35 s under TCG.
prefix=$work/wineprefix-$mode
if [ ! -f "$prefix/.made" ]; then
  rm -rf "$prefix"
  WINEPREFIX=$prefix WINEDEBUG=-all wine wineboot --init </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix WINEDEBUG=-all wine regedit /S "$(WINEPREFIX=$prefix winepath -w "$registry")"
  # The prefix is complete only when Wine's server has written it out and ended.
  WINEPREFIX=$prefix wineserver -w
  touch "$prefix/.made"
fi
# What the models must receive: an updater sends an image's whole records only (a trailing
# fragment shorter than 40 bytes never), so their count and CRC-32, worked out here where python3
# is sure to be, and handed in.
records() {
  python3 -c "import sys,zlib; d=open(sys.argv[1],'rb').read(); n=len(d)//40
print('%s_crc=%08x %s_records=%d' % (sys.argv[2], zlib.crc32(d[:n*40]), sys.argv[2], n))" "$@"
}
EXPECTED=""
for platform in linux:linux windows:win; do
  for program in ampflash/servoamp-Orla-RevA.bin wheelflash/wheelflash.bin; do
    EXPECTED="$EXPECTED $(records "$build/${platform%:*}/$program" "${program%/*}_${platform#*:}")"
  done
done
export EXPECTED SHIPPED_SERVER=$server
export SHIPPED_ENV="SCENARIOS EXPECTED UDEVD WINE_TRACE PROGRAM_TRACE"
status=0
"$here/run-shipped.sh" "$work/vm" "$here/wine-hid.sh" "$build" "$prefix" || status=$?
# The updates' captures, Linux's and Wine's alike: judged against the protocol, then replayed by
# the Linux build as the program ran (the image by its name; its bytes are in the capture).
tools=$build/linux/tools/capturecheck
# Whether the update scenario ran: all by default; win.identity runs the win.* ones.
ran() {
  [ -z "$SCENARIOS" ] && return 0
  case " $SCENARIOS " in *" $1 "*) return 0 ;; esac
  case "$1 $SCENARIOS " in win.*" win.identity "*) return 0 ;; esac
  return 1
}
# Every update scenario run leaves its capture: one missing fails, not passes unchecked.
for name in linux.ampflash linux.wheelflash win.ampflash win.wheelflash; do
  ran "$name" || continue
  if [ ! -s "$work/vm/captures/$name.jsonl" ]; then
    echo "$name: no capture was written"
    status=1
  fi
done
for capture in "$work"/vm/captures/*.jsonl; do
  [ -f "$capture" ] || continue
  name=$(basename "$capture" .jsonl)
  "$tools/capture-check" "$capture" || status=1
  program=${name#*.}
  image=wheelflash.bin
  [ "$program" = ampflash ] && image=servoamp-Orla-RevA.bin
  if ! replayed=$("$tools/capture-replay" "$program" "$capture" --no-window --yes "$image" \
    2>/dev/null); then
    status=1
  fi
  echo "$name: ${replayed##*$'\n'}"
done
exit "$status"
