#!/usr/bin/env bash
# Installs setup.exe silently under Wine, checks what it put where (programs with their icon,
# version information and manifest; Start-menu shortcuts; the "Installed apps" entry), then runs
# the uninstaller and checks that all of it is gone. Run inside a display: xvfb-run -a <this>.
set -euo pipefail
cd "$(dirname "$0")/../.."

export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$PWD/build/windows/wineprefix}"
build=build/windows
setup=$(ls -t "$build"/packages/drivanta-tools-*-setup.exe | head -n 1)
version=$(basename "$setup" | sed 's/^drivanta-tools-\(.*\)-setup\.exe$/\1/')
install_dir="$WINEPREFIX/drive_c/Program Files/Drivanta v2 tools"
menu_dir="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Drivanta v2 tools"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Drivanta v2 tools'

programs=(servodiag ampflash wheelflash)
shortcuts=("Diagnostics" "Servo Amplifier Firmware Update" "Wheel Controller Firmware Update"
  "Uninstall Drivanta v2 tools")
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The program's resources: the icon group, the manifest (type 24) and version information whose
# strings name the product and this version.
check_resources() {
  local exe=$1 program=$2 list strings
  list=$(wrestool -l "$exe")
  grep -q 'type=group_icon' <<<"$list" || fail "$program.exe has no icon"
  grep -q -- '--type=24 --name=1 ' <<<"$list" || fail "$program.exe has no manifest"
  strings=$(wrestool -x --raw --type=version "$exe" | tr -d '\0')
  for expected in "ProductNameDrivanta v2 tools" "FileVersion$version" "OriginalFilename$program.exe"; do
    grep -qF "$expected" <<<"$strings" || fail "$program.exe version information lacks '$expected'"
  done
}

# A prefix left by an earlier run must not make a stale install look fresh.
rm -rf "$install_dir" "$menu_dir"
wineboot -i </dev/null >/dev/null 2>&1

wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "setup.exe /S exited with $?"
wineserver -w
for program in "${programs[@]}"; do
  installed="$install_dir/$program.exe"
  if cmp -s "$installed" "$build/$program/$program.exe"; then
    check_resources "$installed" "$program"
  else
    fail "$program.exe is not installed as built"
  fi
done
[ -f "$install_dir/uninstall.exe" ] || fail "no uninstall.exe"
for shortcut in "${shortcuts[@]}"; do
  [ -f "$menu_dir/$shortcut.lnk" ] || fail "no Start-menu shortcut '$shortcut'"
done
wine reg query "$uninstall_key" /v DisplayVersion </dev/null 2>/dev/null | grep -q "$version" ||
  fail "no 'Installed apps' entry for version $version"

# The uninstaller copies itself away and returns at once: wait for every Wine process to end.
wine "$install_dir/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "uninstall.exe /S exited with $?"
wineserver -w
[ ! -e "$install_dir" ] || fail "the uninstaller left $(ls "$install_dir" | tr '\n' ' ')in Program Files"
[ ! -e "$menu_dir" ] || fail "the uninstaller left the Start-menu folder"
if wine reg query "$uninstall_key" </dev/null >/dev/null 2>&1; then
  fail "the uninstaller left the 'Installed apps' entry"
fi
wineserver -w

if [ "$failures" -ne 0 ]; then
  echo "Windows installer: $failures checks failed" >&2
  exit 1
fi
echo "Windows installer: installs ${programs[*]} with icon, version and manifest, and uninstalls cleanly"
