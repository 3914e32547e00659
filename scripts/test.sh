#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plain and under
# AddressSanitizer and UBSan), then the 64-bit and the shipped 32-bit Windows builds
# under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1

status=0
for preset in native sanitize fuzz win64 win32; do
  echo "=== $preset"
  if cmake --preset "$preset" -DKV_WERROR="${KV_WERROR:-ON}" >/dev/null &&
    cmake --build --preset "$preset"; then
    ctest --preset "$preset" -j2 || status=1
  else
    status=1
  fi
done
exit $status
