#!/usr/bin/env bash
# Installs what building, running and testing need on a fresh Debian machine. Quiet and
# quick when everything is there already. A package mirror that is half-synced does not
# stop it: it goes on with the indexes it got and installs what can be installed. 32-bit
# Wine is installed only where the host executes 32-bit code; without it, everything runs
# with the 64-bit build.
set -uo pipefail
# shellcheck source=host.sh
. "$(dirname "$0")/host.sh"

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64 xvfb x11-utils imagemagick wixl msitools time osslsigncode openssl python3
  fonts-ipafont-gothic fonts-wine locales
  # for the root of the second Wine generation (scripts/wine10.sh)
  debootstrap
  # for the desk's page and its browser tests
  emscripten node-acorn chromium chromium-driver python3-selenium firefox-esr
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Those of the packages named that are not installed, one a line.
not_installed() {
  local p
  for p in "$@"; do
    installed "$p" || echo "$p"
  done
}

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
apt_install() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}

# An index that fails (a mirror in the middle of a sync) is retried, then left out: apt
# keeps the indexes that were fetched.
updated=no
update_indexes() {
  [ $updated = yes ] && return
  updated=yes
  local try
  for try in 1 2 3; do
    $sudo apt-get update -qq >/dev/null 2>&1 && return
    [ $try -lt 3 ] && sleep 3
  done
  echo "setup: some package indexes could not be fetched (mirror out of sync?); going on with the others" >&2
}

mapfile -t missing < <(not_installed "${packages[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  update_indexes
  if ! apt_install "${missing[@]}" >/dev/null 2>&1; then
    # One package that cannot be had must not keep the others out.
    for p in "${missing[@]}"; do
      apt_install "$p" >/dev/null 2>&1 || echo "setup: could not install $p" >&2
    done
  fi
  mapfile -t still < <(not_installed "${missing[@]}")
  if [ ${#still[@]} -gt 0 ]; then
    echo "setup: FAILED: these packages could not be installed: ${still[*]}" >&2
    exit 1
  fi
fi

# The Japanese locale, for the double-byte runs: Wine takes code page 932 from its name alone,
# but spells file names in the locale's character set, which without it is plain ASCII.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 ||
    { echo "setup: FAILED: could not make the ja_JP.UTF-8 locale" >&2; exit 1; }
fi

# The npm client for the desk page's Firefox tests, once per machine. Without npm or the
# registry, those tests are reported as skipped, with the reason.
if [ ! -d "$host_puppeteer/node_modules/puppeteer-core" ]; then
  if ! command -v npm >/dev/null; then
    update_indexes
    apt_install npm >/dev/null 2>&1
  fi
  echo "setup: installing puppeteer-core into $host_puppeteer" >&2
  $sudo mkdir -p "$host_puppeteer" &&
    $sudo npm install --prefix "$host_puppeteer" --no-audit --no-fund --loglevel=error \
      "puppeteer-core@${host_puppeteer##*-}" >/dev/null 2>&1 ||
    echo "setup: puppeteer-core could not be installed; the Firefox tests will be skipped" >&2
fi

# 32-bit Wine, for the shipped 32-bit build. Where it cannot run it is not installed: with it,
# Debian's wine launcher would try its 32-bit loader first, even for 64-bit programs. There the
# emulated VM runs it (scripts/vm.sh), which these make.
if [ "${KV_WIN32_IN_VM:-0}" = 1 ] || { [ "${KV_WIN64_ONLY:-0}" != 1 ] && ! host_executes_x86_32; }; then
  mapfile -t missing < <(not_installed qemu-system-x86 debootstrap)
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}, for the VM that runs the 32-bit build" >&2
    update_indexes
    apt_install "${missing[@]}" >/dev/null 2>&1 ||
      { echo "setup: FAILED: could not install ${missing[*]}" >&2; exit 1; }
  fi
fi
if installed wine32:i386; then
  :
elif ! host_win32_possible; then
  echo "setup: 32-bit Wine not installed: $host_win32_why; the 64-bit build runs instead" >&2
else
  echo "setup: installing wine32:i386" >&2
  $sudo dpkg --add-architecture i386
  updated=no
  update_indexes
  apt_install wine32:i386 >/dev/null 2>&1 ||
    echo "setup: 32-bit Wine could not be installed (packages out of step on the mirror?); the 64-bit build runs instead" >&2
fi
exit 0
