#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plain and under
# AddressSanitizer and UBSan), its fuzzers, then the 64-bit and the shipped 32-bit Windows
# builds under Wine. Every preset is built on every host; where the host cannot run the
# 32-bit build, its Wine tests are reported as skipped. Ends with one line per preset.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=host.sh
. "$root/scripts/host.sh"
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh" || exit 1
host_runs_win32 || echo "The 32-bit Wine tests will be skipped: $host_win32_why."

# "tests", "failures", "skipped" of the JUnit report that CTest wrote.
count() {
  sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\".*/\1/p" "$2" | head -n 1
}

status=0
summary=()
for preset in native sanitize fuzz win64 win32; do
  echo "=== $preset"
  report="$root/build/$preset-tests.xml"
  rm -f "$report"
  if ! cmake --preset "$preset" -DKV_WERROR="${KV_WERROR:-ON}" >/dev/null; then
    summary+=("$preset: FAILED to configure")
    status=1
    continue
  fi
  if ! cmake --build --preset "$preset"; then
    summary+=("$preset: FAILED to build")
    status=1
    continue
  fi
  ctest --preset "$preset" -j2 --output-junit "$report" || status=1
  if [ ! -s "$report" ]; then
    summary+=("$preset: FAILED: no test report")
    status=1
    continue
  fi
  tests=$(count tests "$report")
  failed=$(count failures "$report")
  skipped=$(count skipped "$report")
  line="$preset: $((tests - skipped)) ran, $failed failed, $skipped skipped"
  if [ "$skipped" -gt 0 ]; then
    why=$(grep -o 'SKIPPED: [^<]*' "$report" | sort -u | sed 's/^SKIPPED: //' | paste -sd ';')
    line+=" (${why:-no reason given})"
  fi
  [ "$failed" -eq 0 ] || status=1
  summary+=("$line")
done

echo "=== summary (CTest entries per preset)"
printf '%s\n' "${summary[@]}"
exit $status
