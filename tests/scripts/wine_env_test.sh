#!/usr/bin/env bash
# Checks which Wine scripts/wine-env.sh chooses: Debian's `wine` as it is where wine32's loader
# starts (or is not installed), wine64's loader straight (scripts/wine64-only first on the PATH,
# ZURO_WINE_32BIT=0) where the machine refuses 32-bit programs, the choice kept when asked again,
# and a `wine` of somebody else's left alone. Stand-ins take the place of Debian's wine and loaders.
#   wine_env_test.sh PATH-TO-WINE-ENV
set -uo pipefail
wine_env=$1
wine64_only=$(cd "$(dirname "$wine_env")" && pwd)/wine64-only
# scripts/test may run this with wine64-only already first on the PATH: start from a PATH without.
PATH=$(tr : '\n' <<<"$PATH" | grep -vxF "$wine64_only" | paste -sd:)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian" "$work/other" "$work/loaders"
printf '#!/bin/sh\nexit 0\n' >"$work/debian/wine"
cp "$work/debian/wine" "$work/other/wine"
cp "$work/debian/wine" "$work/loaders/wine64"
chmod +x "$work/debian/wine" "$work/other/wine" "$work/loaders/wine64"

failures=0
# check CASE LOADER32 FIRST-ON-PATH EXPECTED-32BIT EXPECTED-WINE
#   LOADER32: works, refused (ends as an exec refused does, 126) or none
check() {
  local case=$1 loader=$2 first=$3 expected_32bit=$4 expected_wine=$5
  rm -f "$work/loaders/wine"
  case $loader in
    works) printf '#!/bin/sh\necho wine-8.0\n' >"$work/loaders/wine" ;;
    refused) printf '#!/bin/sh\nexit 126\n' >"$work/loaders/wine" ;;
  esac
  [ -f "$work/loaders/wine" ] && chmod +x "$work/loaders/wine"
  local got
  got=$(PATH="$first:$PATH" ZURO_DEBIAN_WINE="$work/debian/wine" \
        ZURO_WINE_LOADERS="$work/loaders" bash -c '
    source "$1"
    first=$ZURO_WINE_32BIT:$(command -v wine)
    source "$1"  # a script the first one starts sources it again
    echo "$first $ZURO_WINE_32BIT:$(command -v wine) $(tr : "\n" <<<"$PATH" | grep -c wine64-only)"
  ' _ "$wine_env")
  local shims=0
  [ "$expected_wine" = "$wine64_only/wine" ] && shims=1
  local expected="$expected_32bit:$expected_wine $expected_32bit:$expected_wine $shims"
  if [ "$got" != "$expected" ]; then
    echo "FAILED: $case: got [$got], expected [$expected]"
    failures=$((failures + 1))
  fi
}

check "32-bit programs run" works "$work/debian" 1 "$work/debian/wine"
check "wine32 not installed" none "$work/debian" 1 "$work/debian/wine"
check "32-bit programs refused" refused "$work/debian" 0 "$wine64_only/wine"
check "another wine" refused "$work/other" 1 "$work/other/wine"

[ "$failures" -eq 0 ] && echo "wine-env: all cases passed"
exit $((failures > 0))
