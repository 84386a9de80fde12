# Sourced by run-kernel-tests.sh and shipped/run-shipped.sh: the Debian kernel both test machines
# boot, the modules they load, and how their consoles' captures are kept. Needs bash (arrays).

# The modules, in the order they are loaded (each after what it depends on), with their
# parameters: HID and uhid; then USB, the gadget framework, FunctionFS, two virtual host and
# device controller pairs, and usbhid. A caller adds its own to `modules` before fetching.
modules=(
  drivers/hid/hid.ko drivers/hid/uhid.ko drivers/hid/hid-generic.ko
  drivers/usb/common/usb-common.ko drivers/usb/core/usbcore.ko
  drivers/usb/gadget/udc/udc-core.ko fs/configfs/configfs.ko drivers/usb/gadget/libcomposite.ko
  drivers/usb/gadget/function/usb_f_fs.ko "drivers/usb/gadget/udc/dummy_hcd.ko num=2"
  drivers/hid/usbhid/usbhid.ko
)
module_files() {
  for m in "${modules[@]}"; do
    echo "${m%% *}"
  done
}
cache_complete() {
  [ -f "$1/vmlinuz" ] || return 1
  for f in $(module_files); do
    [ -f "$1/modules/$(basename "$f")" ] || return 1
  done
}

# The version the metapackage points at now, so the test follows the mirror's kernel.
kernel_version() {
  apt-cache depends linux-image-amd64 2>/dev/null |
    sed -n 's/^ *Depends: linux-image-\([0-9][^ ]*\)-amd64$/\1/p' | head -n 1
}
# Package lists that are missing or older than the mirror name a kernel it no longer has; as
# root, refresh them once.
lists_refreshed=no
refresh_lists() {
  [ "$lists_refreshed" = no ] && [ "$(id -u)" -eq 0 ] || return 1
  lists_refreshed=yes
  echo "test machine: refreshing the package lists" >&2
  apt-get update -qq >/dev/null 2>&1
}
# fetch_kernel <work folder>: downloads Debian's current kernel package once into <work
# folder>/cache and keeps only the kernel image and `modules` from it; sets version and cache
# (the folder holding vmlinuz and modules/). Exits when it cannot.
fetch_kernel() {
  local work=$1
  version=$(kernel_version)
  if [ -z "$version" ] && refresh_lists; then
    version=$(kernel_version)
  fi
  if [ -z "$version" ]; then
    echo "test machine: apt knows no linux-image-amd64; run apt-get update first" >&2
    exit 1
  fi

  cache=$work/cache/$version
  if ! cache_complete "$cache"; then
    partial=$work/cache/download.partial
    rm -rf "$partial"
    mkdir -p "$partial"
    download() {
      echo "test machine: downloading linux-image-$version-amd64 (once)"
      (cd "$partial" && apt-get download -q "linux-image-$version-amd64" >apt-download.log 2>&1)
    }
    if ! download && ! { refresh_lists && version=$(kernel_version) && download; }; then
      cat "$partial/apt-download.log" >&2
      echo "test machine: could not download linux-image-$version-amd64 from the Debian" \
           "mirror (no network, or apt-get update not run)" >&2
      rm -rf "$partial"
      exit 1
    fi
    wanted=('./boot/vmlinuz-*')
    for f in $(module_files); do
      wanted+=("./lib/modules/*/kernel/$f")
    done
    (cd "$partial" &&
     dpkg-deb --fsys-tarfile linux-image-*.deb | tar -x --wildcards "${wanted[@]}")
    mkdir -p "$partial/modules"
    mv "$partial"/boot/vmlinuz-* "$partial/vmlinuz"
    for f in $(module_files); do
      mv "$partial"/lib/modules/*/kernel/"$f" "$partial/modules/"
    done
    rm -rf "$partial"/boot "$partial"/lib "$partial"/*.deb "$partial/apt-download.log"
    cache=$work/cache/$version
    rm -rf "$cache"
    mv "$partial" "$cache"
    # Kernels the mirror has moved on from are not needed again.
    find "$work/cache" -mindepth 1 -maxdepth 1 ! -name "$version" -exec rm -rf {} +
  fi
}

# split_captures <console log> <folder>: the machine prints each capture line as
# "capture <name>: <line>" on its console; writes them into <folder>/<name>.jsonl, one file a
# name, and empties the folder first so a capture of an earlier run cannot pass for this one's.
split_captures() {
  : "${2:?split_captures needs a folder}"
  rm -rf "$2"
  mkdir -p "$2"
  awk -v dir="$2" '/^capture [a-z.-]+: / {
    name = substr($2, 1, length($2) - 1)
    print substr($0, length($1) + length($2) + 3) > (dir "/" name ".jsonl")
  }' "$1"
}
