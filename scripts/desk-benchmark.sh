#!/usr/bin/env bash
# Measures quorin-id at the desk's scale, built for speed (preset desk): a million UUID lines
# converted, against cat copying the same file, in one run; the peak memory at a million and at
# ten million lines, which must be the same; the peak memory of --csv on an inventory whose first
# row is 40 MiB; and a million-row inventory searched with --find for an ID read with one
# character wrong. Prints each figure against its target.
# Usage: scripts/desk-benchmark.sh [RUNS]   (each time is the median of RUNS runs; default 9)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
# shellcheck source=host.sh
. "$root/scripts/host.sh"
host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
host_build desk quorin-id
tool="$root/build/desk/quorin-id"
work="$root/build/desk-benchmark"
mkdir -p "$work"

# COUNT random UUIDs, one a line, in the groups 8-4-4-4-12, as inventories hold them.
uuids() {
  od -An -v -tx1 -w16 -N $((16 * $1)) /dev/urandom | tr -d ' ' |
    sed -E 's/^(.{8})(.{4})(.{4})(.{4})/\1-\2-\3-\4-/'
}
[ -s "$work/1m.txt" ] || uuids 1000000 >"$work/1m.txt"
[ -s "$work/10m.txt" ] || uuids 10000000 >"$work/10m.txt"

# The median wall time of a command line, in seconds, over the runs; the clock is the shell's
# own, read without starting a process.
median() {
  local i start times=()
  for ((i = 0; i < runs; i++)); do
    start=${EPOCHREALTIME/./}
    eval "$1" >/dev/null 2>&1
    times+=("$((${EPOCHREALTIME/./} - start))")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" |
    awk '{ printf "%.3f", $1 / 1000000 }'
}
# The peak resident memory of a command line, in KiB.
peak() {
  { /usr/bin/time -f %M bash -c "exec $1" >/dev/null; } 2>&1 | tail -n 1
}
verdict() {
  awk -v value="$1" -v most="$2" 'BEGIN { print (value <= most ? "met" : "MISSED") }'
}

echo "== quorin-id -: 1,000,000 UUID lines"
convert=$(median "'$tool' - <'$work/1m.txt' >'$work/out.txt'")
copy=$(median "cat '$work/1m.txt' >'$work/copy.txt'")
userspace=$(median "dd if='$work/1m.txt' of='$work/copy.txt' bs=64K status=none")
ratio=$(awk -v a="$convert" -v b="$copy" 'BEGIN { printf "%.1f", a / b }')
printf '  time:  %s s (target under 1 s) %s\n' "$convert" "$(verdict "$convert" 0.999)"
printf '  ratio: %s times cat copying the same file, %s s (target at most 3) %s\n' "$ratio" \
  "$copy" "$(verdict "$ratio" 3)"
printf '         (cat copies in the kernel, without reading the file; a copy that reads and\n'
printf '         writes it, dd bs=64K, takes %s s: %s times that)\n' "$userspace" \
  "$(awk -v a="$convert" -v b="$userspace" 'BEGIN { printf "%.1f", a / b }')"
one=$(peak "'$tool' - <'$work/1m.txt'")
ten=$(peak "'$tool' - <'$work/10m.txt'")
printf '  peak memory: %s KiB at 1,000,000 lines, %s KiB at 10,000,000: %s KiB apart (target within 1 MiB) %s\n' \
  "$one" "$ten" "$((ten > one ? ten - one : one - ten))" \
  "$(verdict "$((ten > one ? ten - one : one - ten))" 1024)"

echo "== quorin-id --csv: an inventory whose first row is 40 MiB"
if [ ! -s "$work/wide.csv" ]; then
  { echo "Name,UUID,Note"; printf 'PC-1,%s,' "$(head -n 1 "$work/1m.txt")"
    head -c $((40 << 20)) /dev/zero | tr '\0' x; echo; sed -n '2,1000p' "$work/1m.txt" |
    awk '{ print "PC-" NR + 1 "," $0 ",Head office" }'; } >"$work/wide.csv"
fi
wide=$(peak "'$tool' --csv UUID <'$work/wide.csv'")
printf '  peak memory: %s KiB (target within 8 MiB) %s\n' "$wide" "$(verdict "$wide" 8192)"

echo "== quorin-id --find: a 1,000,000-row inventory"
awk '{ print "PC-" NR "," $0 ",Head office" }' "$work/1m.txt" |
  sed '1i Name,UUID,Site' >"$work/inventory.csv"
# The support ID of the machine on row 500,000, read with its seventh character wrong.
id=$(sed -n '500001p' "$work/inventory.csv" | cut -d, -f2 | "$tool" -)
misread=${id:0:6}$([ "${id:6:1}" = 8 ] && echo B || echo 8)${id:7}
find=$(median "'$tool' --find $misread --csv UUID <'$work/inventory.csv'")
printf '  %s read as %s: ' "$id" "$misread"
"$tool" --find "$misread" --csv UUID <"$work/inventory.csv" 2>&1 >/dev/null | sed 's/^quorin-id: //'
printf '  time: %s s (target under 1 s) %s\n' "$find" "$(verdict "$find" 0.999)"
