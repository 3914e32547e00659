#!/usr/bin/env bash
# The desk's page at speed: builds quorin-desk.html and measures it in headless Chromium against
# its targets (scripts/page-benchmark.py), with inventories of 100,000 and 1,000,000 rows made
# once in build/page-benchmark.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=host.sh
. "$root/scripts/host.sh"
set -e
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
host_build web quorin-desk
exec /usr/bin/python3 "$root/scripts/page-benchmark.py" "$root/build/web/quorin-desk.html" \
  "$root/build/page-benchmark"
