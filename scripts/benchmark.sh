#!/usr/bin/env bash
# Measures the start-up: the program with the scripted firmware library against a bare
# window with sixteen labels, alternating, in one Wine prefix. Prints the medians, their
# ratio, the file sizes and the working sets. Measures the shipped 32-bit build where the
# host runs it, the 64-bit build otherwise. Usage: scripts/benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-61}
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
if host_runs_win32; then
  preset=win32
else
  preset=win64
  echo "Measuring the 64-bit build: $host_win32_why."
fi
host_step "configuring the $preset build" cmake --preset "$preset"
host_step "building the $preset build" cmake --build --preset "$preset" --target Quorin \
  tovramix tovramix_double minimal_window startup_bench
bin="$root/build/$preset"
# One processor for everything the benchmark starts: the programs, the Wine server and the
# display then take turns on it. Spread over processors, they wake each other across them,
# which on a virtual machine adds some 30 ms to a start at random and swamps the difference
# being measured.
# The first of the processors this script may use ("pid N's current affinity list: 0-3").
cpu=$(taskset -p -c $$ | sed 's/.*: //; s/[,-].*//')
taskset -p -c "$cpu" $$ >/dev/null
wine_env_start_display
wine_env_make_prefix "$preset"
wine_run "$bin/src/win32/startup_bench.exe" "$(wine_path "$bin/src/win32/Quorin.exe")" \
  "$(wine_path "$bin/src/win32/minimal_window.exe")" \
  "$(wine_path "$bin/tests/win/tovramix_double.dll")" "$runs" | tr -d '\r'
echo "TOVRAMIX.DLL:                 $(stat -c %s "$bin/tovramix/TOVRAMIX.DLL") bytes (limit 262144)"
