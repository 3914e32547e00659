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

# The library's headers, read once.
dll_headers=$("$objdump" -p "$dll")
exports=$(echo "$dll_headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort | paste -sd ' ')
[ "$exports" = "DLL_GET_BIOS_STRING_PIECES DLL_GET_HARD_DISK_BUILD_ID" ] ||
  fail "$dll exports \"$exports\", not the two plain names"

# The shipped convention, __stdcall, read off the instructions at the 32-bit library's two
# exports: the callee pops its arguments, 4 bytes a pointer, so the first return of each is
# "ret $0x4" (one buffer) or "ret $0x24" (nine). A plain "ret" would leave them to callers
# built for the original library, whose stacks it would corrupt.
if [ "$arch" = i386 ]; then
  base=$(echo "$dll_headers" | awk '$1 == "ImageBase" {print $2}')
  for export in DLL_GET_HARD_DISK_BUILD_ID:0x4 DLL_GET_BIOS_STRING_PIECES:0x24; do
    name=${export%:*} pops=${export#*:}
    index=$(echo "$dll_headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
      sed -n "s/^[[:space:]]*\[ *\([0-9]*\)\] $name\$/\1/p")
    rva=$(echo "$dll_headers" | sed -n "s/^[[:space:]]*\[ *$index\] +base\[ *[0-9]*\] \([0-9a-f]*\) .*/\1/p")
    if [ -z "$index" ] || [ -z "$rva" ]; then
      fail "$dll: no address for $name"
      continue
    fi
    start=$((0x$base + 0x$rva))
    ret=$("$objdump" -d --start-address=$start --stop-address=$((start + 4096)) "$dll" |
      grep -m 1 -E '\sret' | sed 's/.*\sret[[:space:]]*//')
    [ "$ret" = "\$$pops" ] || fail "$name returns with \"ret ${ret}\", not \"ret \$$pops\": not __stdcall"
  done
fi

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

[ $failures -eq 0 ] &&
  echo "PASS: machine type $arch, plain exports, system imports only, sizes within limits${base:+, callee-popped exports}"
[ $failures -eq 0 ]
