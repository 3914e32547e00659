#!/usr/bin/env bash
# Runs a command where the machine's firmware describes a known machine: in a mount
# namespace of its own, /sys/class/dmi/id holds the values that Wine builds its SMBIOS
# tables from. Needs root, or user namespaces.
# Usage: fake-firmware.sh COMMAND [ARGS...]
set -euo pipefail
if [ "${KV_IN_FIRMWARE_NAMESPACE:-}" != 1 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(-r)
  KV_IN_FIRMWARE_NAMESPACE=1 exec unshare "${as_root[@]}" -m "$0" "$@"
fi
mount -t tmpfs firmware /sys/class
mkdir -p /sys/class/dmi/id
cd /sys/class/dmi/id
echo "Firmware Vendor" >bios_vendor
echo "FW 1.23" >bios_version
echo "02/03/2024" >bios_date
echo "Maker" >sys_vendor
echo "MODEL-77" >product_name
echo "SER-FROM-FW" >product_serial
echo "12345678-9abc-def0-1234-56789abcdef0" >product_uuid
echo "SKU-9" >product_sku
echo "BOARD-SN-1" >board_serial
echo "REV-B" >board_version
cd - >/dev/null
exec "$@"
