# Sourced by the scripts that run Windows programs under Wine. Every Wine command they run works
# in the project's own prefix (build/wineprefix, or the one ZURO_WINEPREFIX names), never in the
# prefix the user's environment names.
zuro_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${ZURO_WINEPREFIX:-$zuro_root/build/wineprefix}
# The prefix is made 64-bit once; a WINEARCH meant for the user's own prefixes would refuse it.
unset WINEARCH
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

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
