#!/usr/bin/env bash
# Runs a libFuzzer target for a bounded time, starting from a copy of its seed files.
# Usage: run-fuzzer.sh FUZZER SECONDS SEED...
set -euo pipefail
fuzzer=$1
seconds=$2
shift 2
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$@" "$corpus/"
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$corpus" 2>&1 | tail -n 15
