#!/usr/bin/env bash
# Makes what is handed out, in build/packages: for each of the two Windows builds (win32, the
# shipped one, and win64) the ZIP to copy by hand, Quorin-<version>-<build>.zip, and the Windows
# Installer package that IT departments deploy, Quorin-<version>-<build>.msi. Each holds
# Quorin.exe, the matching TOVRAMIX.DLL, quorin-id.exe, the shipped Quorin.ini and README.txt
# for the person who deploys them. Making them needs no Wine, so all four are made on every
# host.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=host.sh
. "$root/scripts/host.sh"
set -e
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
out="$root/build/packages"
mkdir -p "$out"
for preset in win32 win64; do
  host_build "$preset" Quorin tovramix quorin-id installer_package
  host_step "packing the $preset build" \
    cpack --config "$root/build/$preset/CPackConfig.cmake" -B "$out"
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/$preset/CMakeCache.txt")
  cp "$root/build/$preset/Quorin-$version-$preset.msi" "$out/"
done
rm -rf "$out/_CPack_Packages"
ls -1 "$out"/Quorin-*.zip "$out"/Quorin-*.msi
