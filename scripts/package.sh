#!/usr/bin/env bash
# Makes what is handed out, in build/packages: for each of the two Windows builds (win32, the
# shipped one, and win64) the ZIP to copy by hand, Quorin-<version>-<build>.zip, and the Windows
# Installer package that IT departments deploy, Quorin-<version>-<build>.msi. Each holds
# Quorin.exe, the matching TOVRAMIX.DLL, quorin-id.exe, the shipped Quorin.ini and README.txt
# for the person who deploys them; and Quorin-Desk-<version>.zip for the support desk: the
# desk's page, quorin-id.exe and their part of README.txt. Making them needs no Wine, so all
# five are made on every host.
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

# The support desk's package: its page, quorin-id.exe of the shipped build (which runs on
# 32-bit and 64-bit Windows), and the desk's part of README.txt after a word on the page.
host_build web quorin-desk
desk="$root/build/desk-package"
rm -rf "$desk"
mkdir -p "$desk"
cp "$root/build/web/quorin-desk.html" "$root/build/win32/quorin-id.exe" "$desk/"
{
  sed -e "s/@PROJECT_VERSION@/$version/" -e 's/$/\r/' "$root/package/README-desk.txt.in"
  sed -n '/^Reading the support ID back as a UUID\r*$/,$p' "$root/build/win32/README.txt"
} >"$desk/README.txt"
grep -q '^Reading the support ID back' "$desk/README.txt" ||
  { echo "FAILED: the desk's part of README.txt was not found" >&2; exit 1; }
# Time stamps of the commit where there is one, so that the same sources give the same bytes.
stamp=$(git -C "$root" log -1 --format=%ci 2>/dev/null || date -u "+%F %T +0000")
(cd "$desk" && cmake -E tar cf "$out/Quorin-Desk-$version.zip" --format=zip --mtime="$stamp" \
  quorin-desk.html quorin-id.exe README.txt)
ls -1 "$out"/Quorin-*.zip "$out"/Quorin-*.msi
