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
mount -t tmpfs firmware /sys/class
mkdir -p /sys/class/dmi/id
# Where dbus keeps it; a host without dbus gets the empty folder to mount over.
mkdir -p /var/lib/dbus
mount -t tmpfs machine-id /var/lib/dbus
while IFS='=' read -r name value; do
  case $name in
    '' | '#'*) ;;
    machine-id) echo "$value" >/var/lib/dbus/machine-id ;;
    *) echo "$value" >"/sys/class/dmi/id/$name" ;;
  esac
done <"$machine"
exec "$@"
