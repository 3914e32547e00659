# Sourced by the scripts that run Windows programs: a Wine prefix and an X display of
# their own, both removed on exit.

wine_env_dir=$(mktemp -d "${TMPDIR:-/tmp}/quorin-wine.XXXXXX")
wine_env_xvfb=""

wine_env_cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$wine_env_xvfb" ] && kill "$wine_env_xvfb" 2>/dev/null || true
  rm -rf "$wine_env_dir"
}
trap wine_env_cleanup EXIT

# Starts Xvfb on a free display and exports DISPLAY.
wine_env_start_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_env_dir/display" \
    >/dev/null 2>&1 &
  wine_env_xvfb=$!
  for _ in $(seq 100); do
    [ -s "$wine_env_dir/display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(cat "$wine_env_dir/display")"
}

# Makes a fresh prefix: win32 (a 32-bit prefix, for the shipped build) or win64.
wine_env_make_prefix() {
  export WINEARCH="$1" WINEPREFIX="$wine_env_dir/prefix"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  wine regedit /S "$(winepath -w "$(dirname "${BASH_SOURCE[0]}")/prefix.reg")" >/dev/null 2>&1
  wineserver -w
}
