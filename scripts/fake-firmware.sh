#!/usr/bin/env bash
# Runs a command where the machine's firmware describes another machine: in a mount
# namespace of its own, /sys/class/dmi/id holds the values that Wine builds its SMBIOS tables
# from, and /var/lib/dbus/machine-id the 32 hex digits it makes the system UUID of. Needs
# root, or user namespaces.
# Usage: fake-firmware.sh MACHINE COMMAND [ARGS...]
# MACHINE has one "name=value" line per file of /sys/class/dmi/id (product_name=...), and
# machine-id=... for the UUID.
set -euo pipefail
machine=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
if [ "${KV_IN_FIRMWARE_NAMESPACE:-}" != 1 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(-r)
  KV_IN_FIRMWARE_NAMESPACE=1 exec unshare "${as_root[@]}" -m "$0" "$machine" "$@"
fi
# shellcheck source=host.sh
. "$(dirname "$0")/host.sh"

# The 32 hex digits of a UUID as the system reads it, as Wine must be given them. Wine copies
# them into its SMBIOS table unchanged, and the table's version says how they read: Wine 8's
# says 2.4, which holds a UUID in that order; Wine 10's says 3.0, and from 2.6 on the SMBIOS
# reference holds the first three fields little-endian, the order Windows reads them in.
machine_id() {
  local id=$1 wine
  wine=$("$host_wine64" --version | sed -n 's/^wine-\([0-9]*\).*/\1/p')
  if [ "${wine:-0}" -ge 10 ]; then
    id=${id:6:2}${id:4:2}${id:2:2}${id:0:2}${id:10:2}${id:8:2}${id:14:2}${id:12:2}${id:16}
  fi
  echo "$id"
}

mount -t tmpfs firmware /sys/class
mkdir -p /sys/class/dmi/id
# Where dbus keeps it; a host without dbus gets the empty folder to mount over.
mkdir -p /var/lib/dbus
mount -t tmpfs machine-id /var/lib/dbus
while IFS='=' read -r name value; do
  case $name in
    '' | '#'*) ;;
    machine-id) machine_id "$value" >/var/lib/dbus/machine-id ;;
    *) echo "$value" >"/sys/class/dmi/id/$name" ;;
  esac
done <"$machine"
exec "$@"
