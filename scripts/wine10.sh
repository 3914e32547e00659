#!/usr/bin/env bash
# The 64-bit build's Wine tests under a second Wine generation: Debian 13's Wine 10, in a root
# made with debootstrap from Debian's packages only. The root is kept in a machine-wide cache
# outside the clone, named by a hash of what makes it, so that every clone on this machine (CI's
# fresh one too) reuses it; it is made again only when this way of making it changes. Tests run
# in it as root in a mount namespace of their own, with /proc, /dev, /sys, /tmp and the project
# bound at the same paths, so that a build tree made here runs there unchanged.
# Usage: wine10.sh make                  makes the root where it is missing; on failure says why
#        wine10.sh run COMMAND...        runs a command in the root, from the project's folder
#        wine10.sh ctest BUILD REPORT    runs a build's Wine tests in the root
set -uo pipefail
# shellcheck source=host.sh
. "$(dirname "$0")/host.sh"

wine10_suite=trixie
# What the Wine tests use besides Debian's minimal base: Wine for 64-bit programs, a display,
# the fonts they draw with, CTest and CPack, and the Japanese locale's definitions.
wine10_packages=(
  wine wine64 xvfb x11-utils cmake ninja-build fonts-ipafont-gothic fonts-wine locales
  util-linux time
)
wine10_cache=${KV_CACHE:-/var/cache/quorin}

# A new root in $1: debootstrap, Debian 13's own package sources, the packages, the locale.
wine10_new() {
  local uris mirror security
  # The host's mirrors, where it names them.
  uris=$(sed -n 's/^URIs: *//p; s/^deb \(http[^ ]*\) .*/\1/p' /etc/apt/sources.list.d/*.sources \
    /etc/apt/sources.list 2>/dev/null)
  mirror=$(grep -v security <<<"$uris" | head -n 1)
  security=$(grep security <<<"$uris" | head -n 1)
  mirror=${mirror:-http://deb.debian.org/debian}
  # Each step in a mount namespace of its own: what it mounts goes with it, even when it is
  # interrupted.
  host_step "debootstrap of Debian $wine10_suite" unshare -m --propagation private \
    debootstrap --variant=minbase "$wine10_suite" "$1" "$mirror" || return 1
  printf 'deb %s %s main\n' "$mirror" "$wine10_suite" "$mirror" "$wine10_suite-updates" \
    "${security:-http://deb.debian.org/debian-security}" "$wine10_suite-security" \
    >"$1/etc/apt/sources.list"
  host_step "Debian $wine10_suite's packages for the Wine 10 root" \
    unshare -m --propagation private sh -c "mount -t proc proc '$1/proc' && chroot '$1' sh -c '
      { apt-get update || apt-get update; } &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ${wine10_packages[*]} &&
      apt-get clean && localedef -i ja_JP -f UTF-8 ja_JP.UTF-8'"
}

wine10_root="$wine10_cache/wine10-$({
  declare -f wine10_new
  echo "$wine10_suite"
  printf '%s\n' "${wine10_packages[@]}"
} | sha256sum | cut -c1-16)"

wine10_make() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "making and using it needs root (debootstrap, chroot, mount namespaces)"
    return 1
  fi
  [ -d "$wine10_root" ] && return 0
  if ! command -v debootstrap >/dev/null; then
    echo "debootstrap is not installed"
    return 1
  fi
  mkdir -p "$wine10_cache" || return 1
  # One clone makes it while the others wait; it appears whole or not at all.
  (
    flock 9
    [ -d "$wine10_root" ] && exit 0
    rm -rf --one-file-system "$wine10_root".new.*
    new=$(mktemp -d "$wine10_root.new.XXXXXX") || exit 1
    if wine10_new "$new" >&2; then
      mv "$new" "$wine10_root"
    else
      rm -rf --one-file-system "$new"
      echo "Debian $wine10_suite could not be installed from the package archive (its output is above)"
      exit 1
    fi
  ) 9>"$wine10_root.lock"
}

wine10_run() {
  local project=$host_root
  # shellcheck disable=SC2016 # expanded by the shell in the namespace
  unshare -m --propagation private sh -c '
    root=$1 project=$2
    shift 2
    # A mount point of its own, so that the tests can make mount namespaces in it.
    mount --bind "$root" "$root" || exit 1
    for dir in /proc /dev /sys /tmp; do mount --rbind "$dir" "$root$dir" || exit 1; done
    mkdir -p "$root$project" && mount --bind "$project" "$root$project" || exit 1
    exec chroot "$root" env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
      sh -c "cd \"\$0\" && exec \"\$@\"" "$project" "$@"' wine10 "$wine10_root" "$project" "$@"
}

# A build's Wine tests in the root, CTest's JUnit report at REPORT. The packages that some of
# them start from or install are made here first: they need this host's CMake and compilers,
# which made the build.
wine10_ctest() {
  local build=$1 report=$2 setup='^(package|installer_other_package)$'
  if ! ctest --test-dir "$build" -R "$setup" --output-on-failure >&2; then
    echo "FAILED: the packages the tests start from could not be made" >&2
    return 1
  fi
  wine10_run ctest --test-dir "$build" -j2 -L wine -E "$setup" -FS '^(package|other_package)$' \
    --output-junit "$report" --output-on-failure
}

case "${1:-}" in
  make) wine10_make ;;
  ctest) wine10_ctest "$2" "$3" ;;
  run)
    shift
    wine10_run "$@"
    ;;
  *)
    echo "usage: $0 make | run COMMAND... | ctest BUILD REPORT" >&2
    exit 2
    ;;
esac
