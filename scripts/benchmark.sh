#!/usr/bin/env bash
# Measures the start-up: the program with the scripted firmware library against a bare
# window with sixteen labels, alternating, in one Wine prefix. Prints the medians, their
# ratio, the file sizes and the working sets. Usage: scripts/benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-61}
"$root/scripts/setup.sh"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Quorin tovramix tovramix_double minimal_window \
  startup_bench >/dev/null
bin="$root/build/win32"
# One processor for everything the benchmark starts: the programs, the Wine server and the
# display then take turns on it. Spread over processors, they wake each other across them,
# which on a virtual machine adds some 30 ms to a start at random and swamps the difference
# being measured.
# The first of the processors this script may use ("pid N's current affinity list: 0-3").
cpu=$(taskset -p -c $$ | sed 's/.*: //; s/[,-].*//')
taskset -p -c "$cpu" $$ >/dev/null
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
wine_env_start_display
wine_env_make_prefix win32
w() { winepath -w "$1"; }
wine "$bin/src/win32/startup_bench.exe" "$(w "$bin/src/win32/Quorin.exe")" \
  "$(w "$bin/src/win32/minimal_window.exe")" "$(w "$bin/tests/win/tovramix_double.dll")" \
  "$runs" | tr -d '\r'
echo "TOVRAMIX.DLL:                 $(stat -c %s "$bin/tovramix/TOVRAMIX.DLL") bytes (limit 262144)"
