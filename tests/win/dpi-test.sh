#!/usr/bin/env bash
# The window moved between monitors of different DPI, against fresh starts at those DPIs, in
# one prefix: fresh starts are recorded at each DPI it moves to, then the program starts at
# START and is moved to each in turn. Exits 77, a skip, where the host cannot run the build.
# Usage: dpi-test.sh win32|win64 E2E-TESTS SUITE START DPI...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"
arch=$1 tests=$2 suite=$3 start=$4
shift 4
if [ "$arch" = win32 ] && ! host_runs_win32; then
  echo "SKIPPED: $host_win32_why"
  exit 77
fi
wine_env_start_display || exit 1
wine_env_make_prefix "$arch" || exit 1
KV_SNAPSHOTS=$(wine_path "$wine_env_dir" | tr -d '\r')
KV_DPI_CHANGES="$*"
export KV_SNAPSHOTS KV_DPI_CHANGES
run() {
  wine_env_settings "$here/../../scripts/prefix.reg" "$2" || exit 1
  echo "=== $suite.$1 at $2 DPI"
  wine_run "$tests" --gtest_filter="$suite.$1" || exit 1
}
for dpi in $(printf '%s\n' "$@" | sort -u); do
  [ "$dpi" = "$start" ] || run FreshStart "$dpi"
done
run ChangesGiveTheWindowOfAFreshStart "$start"
