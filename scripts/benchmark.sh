#!/usr/bin/env bash
# Measures the start-up: the program with the scripted firmware library against a bare
# window with sixteen labels, alternating, in one Wine prefix per build, in both display
# modes, on each build the host runs (the shipped 32-bit one where it can). Prints the file
# sizes, the start-up ratios and the working sets against their targets.
# Usage: scripts/benchmark.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-61}
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
presets=(win64)
if host_runs_win32; then
  presets=(win32 win64)
else
  echo "The 32-bit build is not measured: $host_win32_why."
fi

size_line() {
  local size
  size=$(stat -c %s "$1")
  printf '  %-28s %7d bytes (target at most %d) %s\n' "$(basename "$1"):" "$size" "$2" \
    "$([ "$size" -le "$2" ] && echo met || echo MISSED)"
}

# One processor for everything the benchmark starts: the programs, the Wine server and the
# display then take turns on it. Spread over processors, they wake each other across them,
# which on a virtual machine adds some 30 ms to a start at random and swamps the difference
# being measured.
# The first of the processors this script may use ("pid N's current affinity list: 0-3").
cpu=$(taskset -p -c $$ | sed 's/.*: //; s/[,-].*//')
taskset -p -c "$cpu" $$ >/dev/null
wine_env_start_display
for preset in "${presets[@]}"; do
  host_build "$preset" Quorin tovramix tovramix_double minimal_window startup_bench
  bin="$root/build/$preset"
  echo "== $preset build"
  size_line "$bin/src/win32/Quorin.exe" 307200
  size_line "$bin/tovramix/TOVRAMIX.DLL" 65536
  [ -n "$wine_env_loader" ] && wineserver -k && rm -rf "$WINEPREFIX"
  wine_env_make_prefix "$preset"
  for locale in C.UTF-8 ja_JP.UTF-8; do
    LC_ALL=$locale wine_run "$bin/src/win32/startup_bench.exe" \
      "$(wine_path "$bin/src/win32/Quorin.exe")" \
      "$(wine_path "$bin/src/win32/minimal_window.exe")" \
      "$(wine_path "$bin/tests/win/tovramix_double.dll")" "$runs" | tr -d '\r'
  done
done
