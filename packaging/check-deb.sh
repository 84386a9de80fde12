#!/usr/bin/env bash
# Builds the .deb from build/linux and checks it as a user's machine would see it: lintian finds
# no error; it carries the programs, the udev rule, and for each program a valid desktop entry
# and metainfo whose program and icon are in the package too; it depends on the Qt runtime
# (computed) and on what Qt loads at run time; its maintainer scripts reload the udev rules.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/linux
rm -f "$build"/packages/*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >/dev/null
deb=$(ls "$build"/packages/drivanta-tools_*.deb)
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

lintian --allow-root --fail-on error "$deb" || fail "lintian reports errors"

contents=$(mktemp -d)
trap 'rm -rf "$contents"' EXIT
dpkg-deb -x "$deb" "$contents"
dpkg-deb -e "$deb" "$contents/DEBIAN"

[ -f "$contents/usr/lib/udev/rules.d/70-drivanta.rules" ] || fail "no udev rule"
icon_sizes=(16 22 24 32 48 64 128 256)
for program in servodiag ampflash wheelflash; do
  id=org.drivanta.$program
  desktop=$contents/usr/share/applications/$id.desktop
  metainfo=$contents/usr/share/metainfo/$id.metainfo.xml
  [ -x "$contents/usr/bin/$program" ] || fail "no /usr/bin/$program"
  desktop-file-validate "$desktop" || fail "$id.desktop is not valid"
  appstreamcli validate --no-net --pedantic "$metainfo" >/dev/null ||
    fail "$id.metainfo.xml is not valid: $(appstreamcli validate --no-net --pedantic "$metainfo")"
  # What the entry starts and shows must be in the package, under the names it gives.
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$contents/usr/bin/$exec_program" ] || fail "$id.desktop starts '$exec_program', not in /usr/bin"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$contents/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon"
  for size in "${icon_sizes[@]}"; do
    png=$contents/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
    file "$png" 2>/dev/null | grep -q "PNG image data, $size x $size," || fail "no ${size}x$size icon $icon"
  done
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "$id.metainfo.xml does not launch $id.desktop"
done

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-liberation; do
  grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for script in postinst postrm; do
  grep -q "udevadm control --reload-rules" "$contents/DEBIAN/$script" 2>/dev/null ||
    fail "$script does not reload the udev rules"
done

if [ "$failures" -ne 0 ]; then
  echo "Debian package: $failures checks failed" >&2
  exit 1
fi
echo "Debian package: $(basename "$deb") carries the programs, udev rule, desktop entries, metainfo and icons"
