#!/usr/bin/env bash
# Makes what is handed out, in build/packages: for each of the two Windows builds (win32, the
# shipped one, and win64) the ZIP to copy by hand, Quorin-<version>-<build>.zip, and the Windows
# Installer package that IT departments deploy, Quorin-<version>-<build>.msi. Each holds
# Quorin.exe, the matching TOVRAMIX.DLL, quorin-id.exe, the shipped Quorin.ini and README.txt
# for the person who deploys them; and Quorin-Desk-<version>.zip for the support desk: the
# desk's page, quorin-id.exe and their part of README.txt. Making them needs no Wine, so all
# five are made on every host. The same commit gives the same bytes; SHA256SUMS lists every
# package's sum.
# With a code-signing certificate, every program and library is signed before it is packed,
# then every MSI (Authenticode, SHA-256, time-stamped where a time-stamp server is named):
#   scripts/package.sh --sign CERT.p12 --password-file FILE [--timestamp URL]
# osslsigncode reads the password from its file, so that it is in no command line or log.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
p12="" password="" tsa=""
while [ $# -ge 2 ]; do
  case $1 in
    --sign) p12=$2 ;;
    --password-file) password=$2 ;;
    --timestamp) tsa=$2 ;;
    *) break ;;
  esac
  shift 2
done
if [ $# -gt 0 ] || { [ -n "$p12$password$tsa" ] && { [ ! -r "$p12" ] || [ ! -r "$password" ]; }; }; then
  echo "usage: $0 [--sign CERT.p12 --password-file FILE [--timestamp URL]] (both files readable)" >&2
  exit 2
fi
[ -z "$p12" ] || { p12=$(realpath "$p12") && password=$(realpath "$password"); }
cd "$root"
# shellcheck source=host.sh
. "$root/scripts/host.sh"
set -e
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"

# Signs a PE file or an MSI in place.
sign() {
  local args=(sign -pkcs12 "$p12" -readpass "$password" -h sha256 -n Quorin -in "$1" -out "$1.signed")
  [ -z "$tsa" ] || args+=(-ts "$tsa")
  host_step "signing $1" osslsigncode "${args[@]}"
  mv "$1.signed" "$1"
}

out="$root/build/packages"
rm -rf "$out"
mkdir -p "$out"
for preset in win32 win64; do
  build="$root/build/$preset"
  programs=("$build/src/win32/Quorin.exe" "$build/tovramix/TOVRAMIX.DLL" "$build/quorin-id.exe")
  # Linked anew, so that files signed by an earlier run are never packed unsigned.
  rm -f "${programs[@]}"
  host_build "$preset" Quorin tovramix quorin-id
  if [ -n "$p12" ]; then
    for file in "${programs[@]}"; do sign "$file"; done
  fi
  host_step "packing the $preset build" \
    cmake --build --preset "$preset" --target zip_package installer_package
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  cp "$build/Quorin-$version-$preset.zip" "$build/Quorin-$version-$preset.msi" "$out/"
  [ -z "$p12" ] || sign "$out/Quorin-$version-$preset.msi"
done

# The support desk's package: its page, quorin-id.exe of the shipped build (which runs on
# 32-bit and 64-bit Windows), and the desk's part of README.txt after a word on the page.
host_build web quorin-desk
desk="$root/build/desk-package"
rm -rf "$desk"
mkdir -p "$desk/Quorin-Desk-$version"
cp "$root/build/web/quorin-desk.html" "$root/build/win32/quorin-id.exe" "$desk/Quorin-Desk-$version/"
{
  sed -e "s/@PROJECT_VERSION@/$version/" -e 's/$/\r/' "$root/package/README-desk.txt.in"
  sed -n '/^Reading the support ID back as a UUID\r*$/,$p' "$root/build/win32/README.txt"
} >"$desk/Quorin-Desk-$version/README.txt"
grep -q '^Reading the support ID back' "$desk/Quorin-Desk-$version/README.txt" ||
  { echo "FAILED: the desk's part of README.txt was not found" >&2; exit 1; }
# Dated as the builds' files are: the commit's time, so that the same sources give the same bytes.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
python3 "$root/scripts/pack-zip.py" "$out/Quorin-Desk-$version.zip" "$epoch" "$desk"

[ -n "$p12" ] || echo "Not signed: no certificate given (--sign CERT.p12 --password-file FILE)."
(cd "$out" && sha256sum -- * >"$root/build/SHA256SUMS" && mv "$root/build/SHA256SUMS" .)
ls -1 "$out"/*
