#!/usr/bin/env bash
# Installs the Debian package into a clean Debian 12 chroot (made with debootstrap when it is
# not there yet) and starts `getkelo --demo` from the installed files on a virtual screen;
# saves a screenshot. Needs root, debootstrap and the Debian mirror.
#   scripts/deb-chroot-test.sh DEB OUT.png [CHROOT_DIR]
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: $0 DEB OUT.png [CHROOT_DIR]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
deb=$(realpath "$1"); out=$(realpath -m "$2"); root=${3:-/tmp/getkelo-chroot}
if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian
fi
cp "$deb" "$root/tmp/"
mounted=()
cleanup() {
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount "${mounted[i]}" || true; done
}
trap cleanup EXIT
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount --bind /dev "$root/dev" && mounted+=("$root/dev")
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && mounted+=("$root/tmp/.X11-unix")
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
chroot "$root" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")"
echo "installed files:"
chroot "$root" dpkg -L getkelo | grep -E "^/usr/(bin|share/getkelo|share/applications|share/icons)/."
mkdir -p "$root/tmp/home" "$root/tmp/runtime"
chmod 700 "$root/tmp/runtime"
"$here/screenshot.sh" "$out" "${WAIT_SECONDS:-8}" chroot "$root" env HOME=/tmp/home \
  XDG_RUNTIME_DIR=/tmp/runtime QT_QPA_PLATFORM=xcb /usr/bin/getkelo --demo
