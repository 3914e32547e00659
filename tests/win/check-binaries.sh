#!/usr/bin/env bash
# What can be checked of the shipped files without running them: the machine type in their
# PE headers, the library's two exports under their plain names, that they import nothing
# but system DLLs (no C++ or GCC runtime to ship beside them), and the sizes of the program
# and the library: at most 300 KiB and 64 KiB.
# Usage: check-binaries.sh OBJDUMP i386|x86-64 Quorin.exe TOVRAMIX.DLL quorin-id.exe
set -uo pipefail
objdump=$1 arch=$2 exe=$3 dll=$4 desk=$5
case $arch in
  i386) want=014c ;;
  x86-64) want=8664 ;;
  *) echo "unknown architecture $arch" && exit 2 ;;
esac
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The PE header starts where the 32-bit value at offset 0x3C says: "PE\0\0", then the
# 16-bit machine type.
for file in "$exe" "$dll" "$desk"; do
  header=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
  signature=$(od -An -tx4 -j"$header" -N4 "$file" | tr -d ' ')
  machine=$(od -An -tx2 -j$((header + 4)) -N2 "$file" | tr -d ' ')
  [ "$signature" = 00004550 ] || fail "$file: no PE signature"
  [ "$machine" = "$want" ] || fail "$file: machine type 0x$machine, not 0x$want ($arch)"
done

exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | paste -sd ' ')
[ "$exports" = "DLL_GET_BIOS_STRING_PIECES DLL_GET_HARD_DISK_BUILD_ID" ] ||
  fail "$dll exports \"$exports\", not the two plain names"

system_dll='^(kernel32|user32|gdi32|advapi32|msvcrt|comctl32|shell32|ole32|oleaut32|version|shlwapi|psapi|ntdll|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'
for file in "$exe" "$dll" "$desk"; do
  imports=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
  [ -n "$imports" ] || fail "$file: no imports found"
  for name in $imports; do
    lower=$(echo "$name" | tr '[:upper:]' '[:lower:]')
    [[ $lower =~ $system_dll ]] || fail "$file imports $name, which is not a system DLL"
  done
done

for limit in "$exe:307200" "$dll:65536"; do
  file=${limit%:*} most=${limit##*:}
  size=$(stat -c %s "$file")
  [ "$size" -le "$most" ] || fail "$file: $size bytes, over its $most"
done

[ $failures -eq 0 ] && echo "PASS: machine type $arch, plain exports, system imports only, sizes within limits"
[ $failures -eq 0 ]
