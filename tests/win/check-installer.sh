#!/usr/bin/env bash
# What can be checked of an installer package without installing it, on every host: a per-machine
# package of the build's architecture and version, into its Program Files folder, with exactly
# the five files (the settings in English or in Japanese, one or the other, never overwritten),
# the Start-menu shortcut started in the install folder, and the older version removed only once
# this one is installed. Then the rules of Windows Installer that Wine does not enforce, as its
# documentation states them (File, Component, Upgrade and Shortcut tables, ICE61): each
# versioned file's Version and Language as its version record says and blank for the others,
# no file hash for a versioned file,
# one key path per component that is its own, component codes that differ where the paths
# differ, the upgrade table against the product's version, per-machine shortcuts.
# The files are those the build ships (its one list), the settings twice: English and Japanese.
# Usage: check-installer.sh win32|win64 VERSION PACKAGE.msi SHIPPED_FILE...
set -uo pipefail
arch=$1 version=$2 msi=$3
shift 3
case $arch in
  win32) template="Intel;1033" folder=ProgramFilesFolder bit=0 ;;
  win64) template="x64;1033" folder=ProgramFiles64Folder bit=256 ;;
  *) echo "unknown architecture $arch" && exit 2 ;;
esac
failures=0
fail() {
  echo "FAIL: $msi: $*"
  failures=$((failures + 1))
}
# The rows of a table, without its three header lines, tab-separated; fields() gives them
# with a separator that read keeps empty fields for.
table() {
  msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'
}
fields() {
  table "$1" | tr '\t' '\037'
}
value() {
  table "$1" | awk -F'\t' -v key="$2" -v column="$3" '$1 == key { print $column }'
}

[ "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" = "$template" ] ||
  fail "the package is not for $template"
[ "$(value Property ALLUSERS 2)" = 1 ] || fail "not installed per machine (ALLUSERS)"
[ "$(value Property ProductVersion 2)" = "$version" ] || fail "not version $version"
[ "$(value Directory INSTALLDIR 2)" = "$folder" ] || fail "INSTALLDIR is not under $folder"
# Keyed by their names with '-' as '_', the Japanese settings as Quorin_Japanese.ini.
files=$(table File | cut -f1 | sort | paste -sd ' ')
shipped=$(printf '%s\n' "$@" | tr - _ | sort | paste -sd ' ')
[ "$files" = "$shipped" ] || fail "the package holds \"$files\", not \"$shipped\""

# A versioned file's Version is its version record's file version, and its Language the
# record's language; an unversioned file has neither. Read from the files in the package.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
msiextract -C "$unpacked" "$msi" >/dev/null || fail "cannot unpack the files"
# The file version of a PE file's VS_FIXEDFILEINFO (signature 0xFEEF04BD, structure version
# 1.0), as a.b.c.d; and its language, from the string table's name (as 040904B0).
record_version() {
  local at
  for at in $(LC_ALL=C grep -obUaP '\xbd\x04\xef\xfe' "$1" | cut -d: -f1); do
    [ "$(od -An -tu4 -j$((at + 4)) -N4 "$1" | tr -d ' ')" = 65536 ] || continue
    od -An -tu2 -j$((at + 8)) -N8 "$1" | awk '{ print $2 "." $1 "." $4 "." $3 }'
    return
  done
}
record_language() {
  local name
  name=$(strings -el "$1" | grep -A1 -x StringFileInfo | sed -n 2p)
  [ -n "$name" ] && echo $((16#${name:0:4}))
}
while IFS=$'\037' read -r key _ name _ file_version language _; do
  path=$(find "$unpacked" -name "$name" -print -quit)
  if [ -n "$path" ] && [ "$(head -c2 "$path")" = MZ ]; then
    [ "$file_version" = "$version.0" ] && [ "$(record_version "$path")" = "$version.0" ] ||
      fail "$key: Version \"$file_version\", record $(record_version "$path"), not $version.0"
    [ -n "$language" ] && [ "$language" = "$(record_language "$path")" ] ||
      fail "$key: Language \"$language\", not the record's $(record_language "$path")"
    # MsiFileHash holds the hashes of unversioned files only.
    [ -z "$(value MsiFileHash "$key" 1)" ] || fail "$key is versioned but has a MsiFileHash row"
  elif [ -n "$file_version$language" ]; then
    fail "$key is not versioned but has Version \"$file_version\" Language \"$language\""
  fi
done < <(fields File)

# Each component has one key path, a file or registry value of its own, and a code of its own.
while IFS=$'\037' read -r component code _ attributes _ key; do
  if [ $((attributes & 4)) -ne 0 ]; then
    owner=$(value Registry "$key" 6)
  else
    owner=$(value File "$key" 2)
  fi
  [ -n "$key" ] && [ "$owner" = "$component" ] || fail "$component's key path is not its own"
  [ "$component" = Shortcut ] || [ $((attributes & 256)) -eq "$bit" ] ||
    fail "component $component's attributes"
done < <(fields Component)
[ -z "$(table Component | cut -f2 | sort | uniq -d)" ] || fail "two components share a code"
for component in Quorin.ini Quorin_Japanese.ini; do
  [ "$(value Component $component 4)" = $((bit + 128)) ] || fail "$component may be overwritten"
done
japanese=$(value Component Quorin_Japanese.ini 5)
[ -n "$japanese" ] && [ "$(value Component Quorin.ini 5)" = "NOT ($japanese)" ] ||
  fail "the two settings are not installed one or the other"
# From the folder an upgrade leaves, the settings move in, each other file is removed and then
# the folder, before the files are installed. The other architecture's folder is found by codes
# that are not this package's.
while IFS=$'\037' read -r key _ name _ _ _; do
  if [ "$name" = Quorin.ini ]; then
    table MoveFile | grep -q "	$key	Quorin.ini	Quorin.ini	FORMERFOLDER	INSTALLDIR	1$" ||
      fail "an edited Quorin.ini does not move into $key from the folder left"
  else
    table RemoveFile | grep -q "	$key	$name	FORMERFOLDER	1$" ||
      fail "$name stays in the folder left"
  fi
done < <(fields File)
table RemoveFile | grep -q "	$(value File Quorin.exe 2)		FORMERFOLDER	1$" ||
  fail "the folder left stays"
[ "$(value InstallExecuteSequence MoveFiles 3)" -lt "$(value InstallExecuteSequence RemoveFiles 3)" ] &&
  [ "$(value InstallExecuteSequence RemoveFiles 3)" -lt "$(value InstallExecuteSequence InstallFiles 3)" ] ||
  fail "the folder left is not emptied before the files are installed"
table CompLocator | cut -f2 | while read -r code; do
  ! table Component | cut -f2 | grep -qx "$code" || echo "FAIL: $msi: CompLocator finds its own $code"
done | grep . && failures=$((failures + 1))

# Per machine: the shortcut's component has an HKLM key path (root 2) and is the shortcut's
# only; the shortcut starts Quorin.exe in the install folder.
[ "$(value Shortcut StartMenuShortcut 2)" = ProgramMenuFolder ] &&
  [ "$(value Registry "$(value Component "$(value Shortcut StartMenuShortcut 4)" 6)" 2)" = 2 ] ||
  fail "the shortcut is not kept per machine"
[ "$(value Shortcut StartMenuShortcut 5)" = "[#Quorin.exe]" ] &&
  [ "$(value Shortcut StartMenuShortcut 12)" = INSTALLDIR ] ||
  fail "the shortcut does not start Quorin.exe in the install folder"

# The upgrade table: one upgrade code (the product's), older versions and the same version
# (of the other architecture: FindRelatedProducts never finds the product itself) removed,
# newer ones detected only and refused by a launch condition; the action properties public
# and secured.
upgrade=$(value Property UpgradeCode 2)
fields Upgrade | while IFS=$'\037' read -r code low high _ attributes _ property; do
  [ "$code" = "$upgrade" ] || echo "FAIL: $msi: upgrade row for $code"
  [[ $property =~ ^[A-Z0-9_]+$ ]] && [[ ";$(value Property SecureCustomProperties 2);" == *";$property;"* ]] ||
    echo "FAIL: $msi: $property is not a secured public property"
  if [ $((attributes & 2)) -eq 0 ]; then
    [ -z "$low" ] && [ "$high" = "$version" ] && [ $((attributes & 512)) -ne 0 ] ||
      echo "FAIL: $msi: removes $low..$high ($attributes), not every version up to $version"
  else
    [ "$low" = "$version" ] && [ -z "$high" ] && [ $((attributes & 256)) -eq 0 ] &&
      [ -n "$(value LaunchCondition "NOT $property" 2)" ] ||
      echo "FAIL: $msi: newer versions than $version are not refused"
  fi
done | grep . && failures=$((failures + 1))
[ "$(table Upgrade | wc -l)" = 2 ] || fail "the upgrade table has not its two rows"
execute=$(value InstallExecuteSequence InstallExecute 3)
remove=$(value InstallExecuteSequence RemoveExistingProducts 3)
[ -n "$execute" ] && [ "${remove:-0}" -gt "$execute" ] ||
  fail "the older version is removed before this one is installed"
[ $failures -eq 0 ] && echo "PASS: $msi: $template $version, per machine, under $folder, five files, settings kept, Windows Installer's rules"
[ $failures -eq 0 ]
