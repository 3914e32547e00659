#!/usr/bin/env bash
# Runs one Windows test program under Wine, in a prefix and on an X display of its own.
# Usage: wine-test.sh win32|win64 PROGRAM [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

arch=$1
shift
wine_env_start_display
wine_env_make_prefix "$arch"
wine "$@"
