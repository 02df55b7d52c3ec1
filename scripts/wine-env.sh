# Sourced by the scripts that run Windows programs under Wine. Every Wine command they run works
# in the project's own prefix (build/wineprefix, or the one ZURO_WINEPREFIX names), never in the
# prefix the user's environment names.
zuro_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${ZURO_WINEPREFIX:-$zuro_root/build/wineprefix}
# The prefix is made 64-bit once; a WINEARCH meant for the user's own prefixes would refuse it.
unset WINEARCH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# Debian's `wine` starts every program through wine32's loader once wine32 is installed, and that
# loader hands 64-bit programs on to wine64. Some machines (virtual machines whose kernel runs no
# 32-bit code) refuse wine32's loader with "Exec format error", and with it every program: there
# the Wine commands go to wine64's loader straight (scripts/wine64-only), 64-bit programs run and
# 32-bit ones cannot. ZURO_WINE_32BIT says which machine this is (1 or 0). Asked again once Wine
# is installed.
# (ZURO_DEBIAN_WINE and ZURO_WINE_LOADERS name Debian's places for its tests.)
zuro_choose_wine() {
  local wine64_only=$zuro_root/scripts/wine64-only
  local debian_wine=${ZURO_DEBIAN_WINE:-/usr/bin/wine} loaders=${ZURO_WINE_LOADERS:-/usr/lib/wine}
  local wine
  wine=$(command -v wine)
  ZURO_WINE_32BIT=1
  if [ "$wine" = "$wine64_only/wine" ]; then
    ZURO_WINE_32BIT=0
  elif [ "$wine" = "$debian_wine" ] && [ -x "$loaders/wine" ] && [ -x "$loaders/wine64" ] &&
       ! "$loaders/wine" --version >/dev/null 2>&1; then
    ZURO_WINE_32BIT=0
    export PATH="$wine64_only:$PATH"
  fi
  export ZURO_WINE_32BIT
}
zuro_choose_wine

# Standard error without two lines that only look like failures: Wine's note that the Z: drive
# has no volume label, and Xlib's farewell from a Wine helper when the virtual display closes.
wine_noise_filter() {
  grep --line-buffered -v -E \
    -e $'^wine: Read access denied for device L".*", FS volume label and serial are not available\\.\r?$' \
    -e $'^X connection to :[0-9.]+ broken \\(explicit kill or server shutdown\\)\\.\r?$' || true
}

# Runs a command with its standard error through wine_noise_filter and returns its exit status;
# its standard output is left alone.
wine_quietly() {
  local statuses=()
  { "$@" 2>&1 1>&3 3>&- | wine_noise_filter >&2 3>&-; statuses=("${PIPESTATUS[@]}"); } 3>&1 || true
  return "${statuses[0]}"
}
