#!/usr/bin/env bash
# Builds the program and starts it on the demo setup in build/demo. With a display, the
# window opens there until you close it; without one, the program runs on a virtual
# display and a screenshot of its window is saved and its path printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Quorin await_window tovramix_double >/dev/null
bin="$root/build/win32/src/win32"
demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$bin/Quorin.exe" "$root/demo/Quorin.ini" "$root/demo/TOVRAMIX.ini" "$demo/"
cp "$root/build/win32/tests/win/tovramix_double.dll" "$demo/TOVRAMIX.DLL"

# The demo prefix's system data file gives the service ID.
demo_prefix() {
  wine_env_make_prefix win32
  cp "$root/demo/kvsysdrv.dat" "$WINEPREFIX/drive_c/windows/system/"
}

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  demo_prefix
  cd "$demo"
  wine Quorin.exe
  exit 0
fi

wine_env_start_display
demo_prefix
# Every program of this prefix, the waiting one too, runs in one virtual desktop.
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n%s\n%s\n' \
  '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' '"Default"="800x600"' \
  >"$wine_env_dir/desktop.reg"
wine regedit /S "$(winepath -w "$wine_env_dir/desktop.reg")"
cd "$demo"
wine Quorin.exe >/dev/null 2>&1 &
read -r left top width height < <(wine "$bin/await_window.exe" | tr -d '\r')
shot="$demo/screenshot.png"
import -display "$DISPLAY" -window root -crop "${width}x${height}+${left}+${top}" +repage "$shot"
echo "Screenshot of the window: $shot"
