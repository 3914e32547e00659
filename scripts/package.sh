#!/usr/bin/env bash
# Makes the packages to hand out, build/packages/Quorin-<version>-win32.zip and -win64.zip:
# each holds Quorin.exe, the matching TOVRAMIX.DLL, the shipped Quorin.ini and README.txt
# for the person who deploys them. Building needs no Wine, so both are made on every host.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=host.sh
. "$root/scripts/host.sh"
set -e
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
out="$root/build/packages"
mkdir -p "$out"
for preset in win32 win64; do
  host_build "$preset" Quorin tovramix
  host_step "packing the $preset build" \
    cpack --config "$root/build/$preset/CPackConfig.cmake" -B "$out"
done
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/Quorin-*.zip
