#!/usr/bin/env bash
# Builds the program and starts it as a user would: with our TOVRAMIX.DLL beside it, the
# shipped settings in the folder it starts in (build/demo), and the demo service ID in the
# system folder. With a display, the window opens there until you close it; without one,
# the program runs on a virtual display and a screenshot of its window is saved and its path
# printed. Runs the shipped 32-bit build where the host can, the 64-bit build otherwise.
#
# Usage: scripts/run.sh [--demo-firmware] [--japanese]
#   The identity values come from this machine's firmware. Where it gives none (a virtual
#   machine, say), or with --demo-firmware, they come from the demo machine's firmware
#   (demo/firmware.ini), which Wine is given in a mount namespace of its own. With --japanese
#   the program runs as on a Japanese PC, with the shipped Japanese settings.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap 'status=$?; [ $status -eq 0 ] || echo "run.sh: FAILED (exit $status)" >&2; wine_env_cleanup' EXIT
set -e

demo="$root/build/demo"

# Whether Wine finds identity values in this machine's firmware: the files it builds its
# SMBIOS tables from.
machine_has_identity() {
  local field
  for field in product_serial product_name product_sku board_version; do
    [ -s "/sys/class/dmi/id/$field" ] && [ -r "/sys/class/dmi/id/$field" ] && return 0
  done
  return 1
}

can_fake_firmware() {
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(-r)
  unshare "${as_root[@]}" -m true 2>/dev/null
}

# Second part, inside the demo machine's firmware where that was chosen: the prefix and the
# program.
start() {
  local bin="$root/build/$KV_RUN_PRESET/src/win32"
  if [ -n "$KV_RUN_DISPLAY" ]; then
    export DISPLAY=$KV_RUN_DISPLAY
  else
    wine_env_start_display
  fi
  wine_env_make_prefix "$KV_RUN_PRESET"
  cp "$root/demo/kvsysdrv.dat" "$WINEPREFIX/drive_c/windows/system/"
  cd "$demo"
  if [ -n "$KV_RUN_DISPLAY" ]; then
    wine_run Quorin.exe
    return
  fi
  # Every program of this prefix, the waiting one too, runs in one virtual desktop.
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n%s\n%s\n' \
    '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="800x600"' \
    >"$wine_env_dir/desktop.reg"
  host_step "setting up the virtual desktop" \
    wine_run regedit.exe /S "$(wine_path "$wine_env_dir/desktop.reg")"
  wine_run Quorin.exe >/dev/null 2>&1 &
  local left top width height
  if ! read -r left top width height < <(wine_run "$bin/await_window.exe" | tr -d '\r'); then
    echo "FAILED: the program's window did not show" >&2
    return 1
  fi
  host_step "taking the screenshot" import -display "$DISPLAY" -window root \
    -crop "${width}x${height}+${left}+${top}" +repage "$demo/screenshot.png"
  echo "Screenshot of the window: $demo/screenshot.png"
}

if [ -n "${KV_RUN_PRESET:-}" ]; then
  start
  exit
fi

firmware=machine
settings="$root/package/Quorin.ini"
for option in "$@"; do
  case $option in
    --demo-firmware) firmware=demo ;;
    --japanese) settings=japanese ;;
    *)
      echo "usage: scripts/run.sh [--demo-firmware] [--japanese]" >&2
      exit 2
      ;;
  esac
done

host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
if host_runs_win32; then
  preset=win32
  echo "Running the shipped 32-bit build."
else
  preset=win64
  echo "Running the 64-bit build: $host_win32_why."
fi
host_build "$preset" Quorin tovramix await_window
rm -rf "$demo"
mkdir -p "$demo"
if [ "$settings" = japanese ]; then
  # As a Japanese PC runs it: code page 932, the shipped Japanese settings over Quorin.ini.
  settings="$root/build/$preset/Quorin-Japanese.ini"
  export LC_ALL=ja_JP.UTF-8
fi
cp "$root/build/$preset/src/win32/Quorin.exe" "$root/build/$preset/tovramix/TOVRAMIX.DLL" "$demo/"
cp "$settings" "$demo/Quorin.ini"

if [ $firmware = machine ] && ! machine_has_identity; then
  if can_fake_firmware; then
    firmware=demo
    echo "This machine's firmware gives no identity values: the demo machine's are used."
  else
    echo "This machine's firmware gives no identity values, and the demo machine's cannot be given (it needs root or user namespaces): the fields stay empty."
  fi
fi

export KV_RUN_PRESET=$preset KV_RUN_DISPLAY=""
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  KV_RUN_DISPLAY=$DISPLAY
fi
if [ $firmware = demo ]; then
  echo "Identity values from the demo machine's firmware (demo/firmware.ini)."
  "$root/scripts/fake-firmware.sh" "$root/demo/firmware.ini" "$0"
else
  "$0"
fi
