#!/usr/bin/env bash
# Runs one Windows test program under Wine, in a prefix and on an X display of its own.
# Exits 77, which CTest reports as a skip, when the host cannot run the program's build.
# With --unpack, a ZIP file is unpacked into the prefix's drive C first. KV_DPI sets the
# prefix's screen resolution (dots per inch; 96 when unset).
# Usage: wine-test.sh win32|win64 [--unpack ZIP] PROGRAM [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

arch=$1
shift
unpack=""
if [ "${1:-}" = --unpack ]; then
  unpack=$2
  shift 2
fi
if [ "$arch" = win32 ] && ! host_runs_win32; then
  echo "SKIPPED: $host_win32_why"
  exit 77
fi
wine_env_start_display || exit 1
wine_env_make_prefix "$arch" || exit 1
if [ -n "$unpack" ] && ! (cd "$WINEPREFIX/drive_c" && cmake -E tar xf "$unpack"); then
  echo "FAILED: cannot unpack $unpack into the prefix" >&2
  exit 1
fi
wine_run "$@"
