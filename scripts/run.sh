#!/usr/bin/env bash
# Builds the program and starts it on the demo setup in build/demo. With a display, the
# window opens there until you close it; without one, the program runs on a virtual
# display and a screenshot of its window is saved and its path printed. Runs the shipped
# 32-bit build where the host can, the 64-bit build otherwise.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap 'status=$?; [ $status -eq 0 ] || echo "run.sh: FAILED (exit $status)" >&2; wine_env_cleanup' EXIT
set -e

host_step "set-up (scripts/setup.sh)" "$root/scripts/setup.sh"
if host_runs_win32; then
  preset=win32
  echo "Running the shipped 32-bit build."
else
  preset=win64
  echo "Running the 64-bit build: $host_win32_why."
fi
host_step "configuring the $preset build" cmake --preset "$preset"
host_step "building the $preset build" \
  cmake --build --preset "$preset" --target Quorin await_window tovramix_double
bin="$root/build/$preset/src/win32"
demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$bin/Quorin.exe" "$root/demo/Quorin.ini" "$root/demo/TOVRAMIX.ini" "$demo/"
cp "$root/build/$preset/tests/win/tovramix_double.dll" "$demo/TOVRAMIX.DLL"

# The demo prefix's system data file gives the service ID.
demo_prefix() {
  wine_env_make_prefix "$preset"
  cp "$root/demo/kvsysdrv.dat" "$WINEPREFIX/drive_c/windows/system/"
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  demo_prefix
  cd "$demo"
  wine_run Quorin.exe
  exit 0
fi

wine_env_start_display
demo_prefix
# Every program of this prefix, the waiting one too, runs in one virtual desktop.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n%s\n%s\n' \
  '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="800x600"' \
  >"$wine_env_dir/desktop.reg"
host_step "setting up the virtual desktop" \
  wine_run regedit.exe /S "$(wine_path "$wine_env_dir/desktop.reg")"
cd "$demo"
wine_run Quorin.exe >/dev/null 2>&1 &
if ! read -r left top width height < <(wine_run "$bin/await_window.exe" | tr -d '\r'); then
  echo "FAILED: the program's window did not show" >&2
  exit 1
fi
shot="$demo/screenshot.png"
host_step "taking the screenshot" \
  import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot"
echo "Screenshot of the window: $shot"
