#!/usr/bin/env bash
# What can be checked of an installer package without installing it, on every host: a per-machine
# package of the build's architecture, into its Program Files folder, with exactly the five
# files (the settings in English or in Japanese, one or the other, never overwritten), the
# Start-menu shortcut started in the install folder, and the older version removed only once
# this one is installed.
# Usage: check-installer.sh win32|win64 PACKAGE.msi
set -uo pipefail
arch=$1 msi=$2
case $arch in
  win32) template="Intel;1033" folder=ProgramFilesFolder bit=0 ;;
  win64) template="x64;1033" folder=ProgramFiles64Folder bit=256 ;;
  *) echo "unknown architecture $arch" && exit 2 ;;
esac
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# The rows of a table, without its three header lines, tab-separated.
table() {
  msiinfo export "$msi" "$1" | tail -n +4 | tr -d '\r'
}
value() {
  table "$1" | awk -F'\t' -v key="$2" -v column="$3" '$1 == key { print $column }'
}

[ "$(msiinfo suminfo "$msi" | sed -n 's/^Template: //p')" = "$template" ] ||
  fail "the package is not for $template"
[ "$(value Property ALLUSERS 2)" = 1 ] || fail "not installed per machine (ALLUSERS)"
[ "$(value Directory INSTALLDIR 2)" = "$folder" ] || fail "INSTALLDIR is not under $folder"
files=$(table File | cut -f3 | sort | paste -sd ' ')
[ "$files" = "Quorin.exe Quorin.ini Quorin.ini README.txt TOVRAMIX.DLL quorin-id.exe" ] ||
  fail "the package holds \"$files\""
for component in Program Library DeskTool Readme; do
  [ "$(value Component $component 4)" = $bit ] || fail "component $component's attributes"
done
for component in Settings JapaneseSettings; do
  [ "$(value Component $component 4)" = $((bit + 128)) ] || fail "$component may be overwritten"
done
japanese=$(value Component JapaneseSettings 5)
[ -n "$japanese" ] && [ "$(value Component Settings 5)" = "NOT ($japanese)" ] ||
  fail "the two settings are not installed one or the other"
[ "$(value Shortcut StartMenuShortcut 5)" = "[#Quorin.exe]" ] &&
  [ "$(value Shortcut StartMenuShortcut 12)" = INSTALLDIR ] ||
  fail "the shortcut does not start Quorin.exe in the install folder"
execute=$(value InstallExecuteSequence InstallExecute 3)
remove=$(value InstallExecuteSequence RemoveExistingProducts 3)
[ -n "$execute" ] && [ "${remove:-0}" -gt "$execute" ] ||
  fail "the older version is removed before this one is installed"
[ $failures -eq 0 ] && echo "PASS: $template, per machine, under $folder, five files, settings kept"
[ $failures -eq 0 ]
