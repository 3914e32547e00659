#!/usr/bin/env bash
# The window moved between monitors of different DPI, against fresh starts at those DPIs, in
# one prefix: fresh starts are recorded at 144 and 192 DPI, then the program starts at 96 and
# is moved to 144, 192 and back. Exits 77, a skip, where the host cannot run the build.
# Usage: dpi-test.sh win32|win64 E2E-TESTS SUITE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"
arch=$1 tests=$2 suite=$3
if [ "$arch" = win32 ] && ! host_runs_win32; then
  echo "SKIPPED: $host_win32_why"
  exit 77
fi
wine_env_start_display || exit 1
wine_env_make_prefix "$arch" || exit 1
KV_SNAPSHOTS=$(wine_path "$wine_env_dir" | tr -d '\r')
export KV_SNAPSHOTS
for dpi in 144 192 96; do
  test=FreshStart
  [ "$dpi" = 96 ] && test=ChangesGiveTheWindowOfAFreshStart
  wine_env_settings "$here/../../scripts/prefix.reg" "$dpi"
  echo "=== $suite.$test at $dpi DPI"
  wine_run "$tests" --gtest_filter="$suite.$test" || exit 1
done
