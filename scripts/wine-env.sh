# Sourced by the scripts that run Windows programs: a Wine prefix and an X display of
# their own, both removed on exit.
# shellcheck source=host.sh
. "$(dirname "${BASH_SOURCE[0]}")/host.sh"

wine_env_dir=$(mktemp -d "${TMPDIR:-/tmp}/quorin-wine.XXXXXX")
wine_env_xvfb=""
wine_env_loader=""

wine_env_cleanup() {
  [ -n "$wine_env_loader" ] && wineserver -k >/dev/null 2>&1
  [ -n "$wine_env_xvfb" ] && kill "$wine_env_xvfb" 2>/dev/null
  rm -rf "$wine_env_dir"
}
trap wine_env_cleanup EXIT

# Starts Xvfb on a free display and exports DISPLAY. KV_SCREEN sets the screen's size (1920x1080
# when unset); exported, so that a test can wait until Wine reports that size.
wine_env_start_display() {
  export KV_SCREEN=${KV_SCREEN:-1920x1080}
  Xvfb -displayfd 3 -screen 0 "${KV_SCREEN}x24" -nolisten tcp 3>"$wine_env_dir/display" \
    >/dev/null 2>&1 &
  wine_env_xvfb=$!
  for _ in $(seq 100); do
    [ -s "$wine_env_dir/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$wine_env_dir/display" ]; then
    echo "FAILED: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(cat "$wine_env_dir/display")"
}

# Runs a Windows program with the loader of the prefix's architecture.
wine_run() {
  "$wine_env_loader" "$@"
}

# The Windows form of a Unix path.
wine_path() {
  wine_run winepath.exe -w "$1"
}

# Made prefixes, kept to be copied: a copy takes a second where a new prefix takes ten, and a
# minute in the emulated VM. One for each architecture, Wine, way of making it and screen
# resolution, so that a test changes nothing in its copy before it starts: a setting applied to
# the copy takes a restart of its server, under a load that has come back without it.
wine_env_templates="${KV_WINE_TEMPLATES:-${TMPDIR:-/tmp}/quorin-wine-templates}"

# Makes a fresh prefix: win32 (a 32-bit prefix, for the shipped build; only where the host
# runs it) or win64, at KV_DPI dots per inch (96 when unset); a copy of one made before in the
# same way.
wine_env_make_prefix() {
  if [ "$1" = win32 ]; then
    if ! host_runs_win32; then
      echo "FAILED: cannot make a 32-bit Wine prefix: $host_win32_why" >&2
      return 1
    fi
    wine_env_loader=$host_wine32
  else
    wine_env_loader=$host_wine64
  fi
  export WINELOADER=$wine_env_loader WINEARCH="$1" WINEPREFIX="$wine_env_dir/prefix"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  local settings key template dpi=${KV_DPI:-96}
  settings="$(dirname "${BASH_SOURCE[0]}")/prefix.reg"
  key=$({
    "$wine_env_loader" --version
    cat "$settings"
    declare -f wine_env_new_prefix wine_env_settings
  } | sha256sum | cut -c1-16)
  template="$wine_env_templates/$1-$key-$dpi"
  mkdir -p "$wine_env_templates"
  # One test makes it while the others that need it wait.
  if ! (
    flock 9
    [ -d "$template" ] || { rm -rf "$template.new" &&
      WINEPREFIX="$template.new" wine_env_new_prefix "$1" "$settings" "$dpi" &&
      mv "$template.new" "$template"; }
  ) 9>"$template.lock"; then
    rm -rf "$template.new"
    return 1
  fi
  cp -a "$template" "$WINEPREFIX" || return 1
  # A server is found by its prefix's device and inode: one left by a removed prefix whose
  # inode the copy reuses would serve it another registry. None may be running yet, and
  # then there is nothing to end.
  wineserver -k >/dev/null 2>&1 || true
}

# A new prefix at WINEPREFIX, with the settings of the tests and the demo.
# Usage: wine_env_new_prefix win32|win64 REG-FILE DPI
wine_env_new_prefix() {
  if ! wine_run wineboot.exe -i >"$wine_env_dir/wineboot.log" 2>&1; then
    echo "FAILED: wineboot could not make the $1 prefix:" >&2
    tail -n 20 "$wine_env_dir/wineboot.log" >&2
    return 1
  fi
  # Every Windows has it; a 64-bit prefix made without the 32-bit loader lacks it.
  mkdir -p "$WINEPREFIX/drive_c/windows/system"
  # Wine's own fonts, where Windows keeps its fonts: this Wine does not look for them in its
  # data folder, so without them the title bar's buttons, drawn with Marlett, show letters.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  wine_env_settings "$2" "$3"
}

# Applies registry settings to the prefix, with the screen's resolution in dots per inch
# where one is given, and waits until the next server will use them.
# Usage: wine_env_settings REG-FILE [DPI]
wine_env_settings() {
  local settings="$wine_env_dir/settings.reg"
  cp "$1" "$settings"
  if [ -n "${2:-}" ]; then
    printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$2" \
      >>"$settings"
  fi
  wine_run regedit.exe /S "$(wine_path "$settings")" >/dev/null 2>&1
  # The display settings take effect with the next server, which reads what this one saved.
  wineserver -w
  if [ -n "${2:-}" ] &&
    ! grep -qx "\"LogPixels\"=dword:$(printf '%08x' "$2")" "$WINEPREFIX/user.reg"; then
    echo "FAILED: the prefix's resolution did not become $2 DPI" >&2
    return 1
  fi
}
