#!/usr/bin/env bash
# Builds everything and runs every test: the portable core natively (plain and under
# AddressSanitizer and UBSan), its fuzzers, then the 64-bit and the shipped 32-bit Windows
# builds under Wine, the 64-bit build's Wine tests again under Wine 10 (scripts/wine10.sh), and
# the desk's page in headless Chromium. Every preset is built on every host; where the host
# cannot execute 32-bit code, the 32-bit build's Wine tests run in an emulated VM whose kernel
# can (scripts/vm.sh), and with KV_WIN64_ONLY=1 they are reported as skipped. KV_WIN32_IN_VM=1
# runs them in the VM on any host. Ends with one line per preset, one for the Wine 10 lane, the
# browsers' and the release's checks.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# shellcheck source=vm.sh
. "$root/scripts/vm.sh"
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh" || exit 1
in_vm=no
if [ "${KV_WIN32_IN_VM:-0}" = 1 ]; then
  in_vm=yes
  echo "The 32-bit Wine tests will run in an emulated VM, as KV_WIN32_IN_VM=1 asks."
elif host_runs_win32; then
  :
elif [ "${KV_WIN64_ONLY:-0}" != 1 ] && ! host_executes_x86_32; then
  in_vm=yes
  echo "The 32-bit Wine tests will run in an emulated VM: this host cannot execute 32-bit x86 code."
else
  echo "The 32-bit Wine tests will be skipped: $host_win32_why."
fi

# "tests", "failures", "skipped" of the JUnit report that CTest wrote.
count() {
  sed -n "s/^[[:space:]]*$1=\"\([0-9]*\)\".*/\1/p" "$2" | head -n 1
}

# The reasons the tests in the JUnit reports gave for their skips, as " (why;why)".
skips_why() {
  local why
  why=$(grep -ho 'SKIPPED: [^<]*' "$@" | sort -u | sed 's/^SKIPPED: //' | paste -sd ';')
  echo " (${why:-no reason given})"
}

status=0
summary=()

# The 32-bit build's tests where the host runs no 32-bit code: those that need no Wine here,
# the Wine ones in the emulated VM, with its CTest's output shown here. Says how long each part
# took.
win32_in_vm() {
  local here="$root/build/win32-tests.xml" there="$root/build/win32-vm-tests.xml"
  local job="$root/build/vm-job.sh" log="$root/build/vm-ctest.log" start vm_status=0
  rm -f "$here" "$there"
  ctest --preset win32 -j2 -LE wine --output-junit "$here" || status=1
  start=$SECONDS
  if ! vm_image; then
    summary+=("win32: FAILED: the VM could not be made")
    status=1
    return
  fi
  local made=$((SECONDS - start))
  # The VM is there to run them: there, a 32-bit Wine that does not start is a failure. The
  # decision is made once, so that every test takes the same one.
  cat >"$job" <<EOF
cd "$root" && . scripts/host.sh || exit 1
host_runs_win32 || { echo "FAILED: in the VM, \$host_win32_why" >"$log"; exit 1; }
ctest --preset win32 -j2 -L wine --output-junit "$there" >"$log" 2>&1
EOF
  start=$SECONDS
  vm_run "$job" || vm_status=$?
  [ -f "$log" ] && cat "$log"
  echo "The VM: its image ${made} s (0 where it was made before), boot and tests $((SECONDS - start)) s."
  if [ ! -s "$there" ] || [ ! -s "$here" ]; then
    summary+=("win32: FAILED: no test report from the VM (exit $vm_status)")
    status=1
    return
  fi
  local failed=$(($(count failures "$here") + $(count failures "$there")))
  local skipped=$(($(count skipped "$here") + $(count skipped "$there")))
  [ "$vm_status" -eq 0 ] && [ "$failed" -eq 0 ] || status=1
  local line
  line="win32: $(($(count tests "$here") - $(count skipped "$here"))) ran here and"
  line+=" $(($(count tests "$there") - $(count skipped "$there"))) in the emulated VM,"
  line+=" $failed failed, $skipped skipped"
  [ "$skipped" -eq 0 ] || line+=$(skips_why "$here" "$there")
  [ "$vm_status" -eq 0 ] || line+=" (FAILED: the VM's CTest exited $vm_status)"
  summary+=("$line")
}
# "NAME: N ran, N failed, N skipped" from a JUnit report, the reasons of the skips after it;
# a failure fails the command.
add_line() {
  local tests failed skipped line
  tests=$(count tests "$2")
  failed=$(count failures "$2")
  skipped=$(count skipped "$2")
  line="$1: $((tests - skipped)) ran, $failed failed, $skipped skipped"
  [ "$skipped" -eq 0 ] || line+=$(skips_why "$2")
  [ "$failed" -eq 0 ] || status=1
  summary+=("$line")
}

# The 64-bit build's Wine tests again under Debian 13's Wine 10, in the root that
# scripts/wine10.sh makes once per machine; KV_WINE10=0 turns the lane off. Says how long the
# root and the tests took.
wine10_lane() {
  local report="$root/build/win64-wine10-tests.xml" why start made
  rm -f "$report"
  if [ "${KV_WINE10:-1}" = 0 ]; then
    summary+=("wine10: not run: turned off (KV_WINE10=0)")
    return
  fi
  if [ "$win64_built" != yes ]; then
    summary+=("wine10: FAILED: the win64 build it tests failed")
    status=1
    return
  fi
  start=$SECONDS
  if ! why=$("$root/scripts/wine10.sh" make); then
    summary+=("wine10: FAILED: no Wine 10 root: ${why:-no reason given} (KV_WINE10=0 turns the lane off)")
    status=1
    return
  fi
  made=$((SECONDS - start))
  start=$SECONDS
  "$root/scripts/wine10.sh" ctest "$root/build/win64" "$report" || status=1
  echo "Wine 10: its root ${made} s (0 where it was made before), the tests $((SECONDS - start)) s."
  if [ -s "$report" ]; then add_line wine10 "$report"; else
    summary+=("wine10: FAILED: no test report")
    status=1
  fi
}

win64_built=no
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
  [ "$preset" = win64 ] && win64_built=yes
  if [ "$preset" = win32 ] && [ $in_vm = yes ]; then
    win32_in_vm
    continue
  fi
  ctest --preset "$preset" -j2 --output-junit "$report" || status=1
  if [ ! -s "$report" ]; then
    summary+=("$preset: FAILED: no test report")
    status=1
    continue
  fi
  add_line "$preset" "$report"
done
echo "=== wine10"
wine10_lane

# The release: the same bytes from a second clone, and signatures that verify. Each check
# ends with its summary line.
for check in reproducible signing; do
  echo "=== $check"
  "$root/tests/release/$check.sh" | tee "$root/build/$check.log" || status=1
  summary+=("$(tail -n 1 "$root/build/$check.log")")
done

# The desk's page, built with emscripten, driven in headless Chromium as an agent uses it, and
# held to what the native quorin-id says of the same input.
echo "=== browser"
if ! cmake --preset web -DKV_WERROR="${KV_WERROR:-ON}" >/dev/null || ! cmake --build --preset web; then
  summary+=("browser: FAILED to build quorin-desk.html")
  status=1
elif [ ! -x "$root/build/native/quorin-id" ]; then
  summary+=("browser: FAILED: no native quorin-id to hold the page to")
  status=1
else
  log="$root/build/browser-tests.log"
  /usr/bin/python3 "$root/tests/web/desk_page_test.py" "$root/build/web/quorin-desk.html" \
    "$root/build/native/quorin-id" >"$log" 2>&1 || status=1
  cat "$log"
  line=$(sed -n 's/^browser: /browser (Chromium): /p' "$log" | tail -n 1)
  summary+=("${line:-browser (Chromium): FAILED: the tests ended without a summary}")
  [ -n "$line" ] || status=1
  skipped="browser (Firefox ESR): 0 ran, 0 failed,"
  skipped+=" $(grep -c "^  async '" "$root/tests/web/desk_page_firefox.cjs") skipped"
  if ! command -v firefox-esr >/dev/null; then
    summary+=("$skipped (firefox-esr is not installed)")
  elif [ ! -d "$host_puppeteer/node_modules/puppeteer-core" ]; then
    summary+=("$skipped (puppeteer-core could not be installed)")
  else
    log="$root/build/browser-firefox-tests.log"
    NODE_PATH="$host_puppeteer/node_modules" node "$root/tests/web/desk_page_firefox.cjs" \
      "$root/build/web/quorin-desk.html" "$root/build/native/quorin-id" >"$log" 2>&1 || status=1
    cat "$log"
    line=$(sed -n 's/^firefox: /browser (Firefox ESR): /p' "$log" | tail -n 1)
    summary+=("${line:-browser (Firefox ESR): FAILED: the tests ended without a summary}")
    [ -n "$line" ] || status=1
  fi
fi

echo "=== summary (CTest entries per preset; the release's checks; the browser tests)"
printf '%s\n' "${summary[@]}"
exit $status
