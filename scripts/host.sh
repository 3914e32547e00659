# Sourced by the scripts: what this host can do, and a quiet runner for their steps.
# Setting KV_WIN64_ONLY=1 makes a host that could run both builds take the 64-bit-only path.

host_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Debian's 32-bit and 64-bit Wine loaders. Debian's "wine" launcher starts the 32-bit one
# whenever it is installed, even for a 64-bit program, so the scripts call them directly.
host_wine32=/usr/lib/wine/wine
host_wine64=/usr/lib/wine/wine64

# Whether the kernel executes 32-bit x86 code: runs a 93-byte static i386 program that only
# exits (ELF header, one loadable segment, then mov eax,1; xor ebx,ebx; int 0x80). Needs
# nothing installed, so set-up can ask before it installs 32-bit packages.
host_executes_x86_32() {
  local probe status=0
  mkdir -p "$host_root/build"
  # A file of its own: tests that ask at the same time must not run one half written.
  probe=$(mktemp "$host_root/build/host-probe-x86-32.XXXXXX") || return 1
  printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
    '\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00' \
    '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

# Whether 32-bit Wine may be used here at all, before it is installed: not where the
# 64-bit-only path is forced or the host cannot execute 32-bit code. Sets host_win32_why to
# the reason when not.
host_win32_possible() {
  if [ "${KV_WIN64_ONLY:-0}" = 1 ]; then
    host_win32_why="the 64-bit-only path is forced (KV_WIN64_ONLY=1)"
  elif ! host_executes_x86_32; then
    host_win32_why="this host cannot execute 32-bit x86 code"
  else
    return 0
  fi
  return 1
}

# The one decision whether this host runs the shipped 32-bit build under Wine: it does when
# Wine's 32-bit loader actually starts here. Made once; the answer is exported to every
# script and test started after. Sets host_win32_why to the reason when it does not.
host_runs_win32() {
  if [ -z "${KV_HOST_WIN32:-}" ]; then
    KV_HOST_WIN32=no
    if ! host_win32_possible; then
      KV_HOST_WIN32_WHY=$host_win32_why
    elif [ ! -x "$host_wine32" ]; then
      KV_HOST_WIN32_WHY="32-bit Wine (wine32:i386) is not installed"
    elif ! "$host_wine32" --version >/dev/null 2>&1; then
      KV_HOST_WIN32_WHY="32-bit Wine is installed but its loader does not start"
    else
      KV_HOST_WIN32=yes
      KV_HOST_WIN32_WHY=""
    fi
    export KV_HOST_WIN32 KV_HOST_WIN32_WHY
  fi
  host_win32_why=$KV_HOST_WIN32_WHY
  [ "$KV_HOST_WIN32" = yes ]
}

# Configures a build preset and builds the targets named, each a step of its own.
# Usage: host_build PRESET TARGET...
host_build() {
  local preset=$1
  shift
  host_step "configuring the $preset build" cmake --preset "$preset" &&
    host_step "building the $preset build" cmake --build --preset "$preset" --target "$@"
}

# Runs a command with its output kept in a log; when it fails, says which step failed and
# shows the end of the log. Usage: host_step "what it does" COMMAND [ARGS...]
host_step() {
  local what=$1 log status=0
  shift
  log=$(mktemp "${TMPDIR:-/tmp}/quorin-step.XXXXXX")
  "$@" >"$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    echo "FAILED: $what (exit $status). The end of its output:" >&2
    tail -n 30 "$log" >&2
  fi
  rm -f "$log"
  return $status
}

# puppeteer-core, the npm client that drives Firefox ESR over WebDriver BiDi for the desk page's
# tests: installed by set-up into the machine-wide cache, outside any clone, found by NODE_PATH.
host_puppeteer="${KV_CACHE:-/var/cache/quorin}/npm-puppeteer-core-24.43.1"
