#!/usr/bin/env bash
# The packages and the PE files built here and again, later, in a fresh clone of the same
# sources (with what is not committed yet) in build/rebuild must be the same bytes; cmp names the
# first byte that differs. Each PE file's time stamp must be the commit's and its checksum right
# (as osslsigncode computes it). Leaves the clone for signing.sh; ends with its summary line.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) failures=0 files=0
clone=$root/build/rebuild/quorin
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
rm -rf "$root/build/rebuild"
git clone -q --no-checkout "$root" "$clone" &&
  git -C "$clone" checkout -q --detach "$(git -C "$root" rev-parse HEAD)" &&
  { git -C "$root" diff HEAD --binary | git -C "$clone" apply --allow-empty; } &&
  (cd "$root" && git ls-files -z --others --exclude-standard | tar --null -T - -cf - |
    tar -xf - -C "$clone") || exit 1
"$root/scripts/package.sh" || fail "packing here"
start=$SECONDS
CMAKE_BUILD_PARALLEL_LEVEL=2 "$clone/scripts/package.sh" || fail "packing in the clone"
took=$((SECONDS - start)) epoch=$(git -C "$root" log -1 --format=%ct)
cd "$root/build" || exit 1
echo "SHA-256 here, SHA-256 in the clone, file:"
for file in packages/* {win32,win64}/{src/win32/Quorin.exe,tovramix/TOVRAMIX.DLL,quorin-id.exe}; do
  echo "$(sha256sum <"$file" | cut -c1-64) $(sha256sum <"$clone/build/$file" | cut -c1-64) $file"
  cmp "$file" "$clone/build/$file" || fail "$file differs"
  files=$((files + 1))
  [[ $file == packages/* ]] && continue
  header=$(od -An -tu4 -j60 -N4 "$file")
  [ "$(od -An -tu4 -j$((header + 8)) -N4 "$file" | tr -d " ")" = "$epoch" ] ||
    fail "$file: not the commit's time"
  sums=$(osslsigncode verify -in "$file" 2>&1 | sed -n 's/.*PE checksum *: *\([0-9A-F]*\).*/\1/p')
  [ "$(sort -u <<<"$sums" | wc -l)" = 1 ] && [ -n "${sums//0/}" ] || fail "$file: checksum $sums"
done
line="reproducible: $files files compared with a second build in build/rebuild ($took s)"
[ $failures -eq 0 ] && echo "$line: the same bytes, PE time stamps the commit's, checksums right" &&
  exit 0
echo "$line: FAILED ($failures failures)" && exit 1
