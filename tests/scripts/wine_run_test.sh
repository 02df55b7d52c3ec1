#!/usr/bin/env bash
# Checks scripts/wine-run's answer to a Wine that cannot start a program: a run that printed
# "ShellExecuteEx failed" is started again, up to three times in all, only the output of the run
# that counts is passed on, and a program that ran is never run again. A stand-in `wine` takes
# Wine's place, so the test needs no Wine and runs in a second.
#   wine_run_test.sh PATH-TO-WINE-RUN
set -uo pipefail
wine_run=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/prefix" "$work/tmp"
touch "$work/prefix/.zuro-ready"

# What Wine's start.exe prints when the loader could not start a program.
SHELL_FAILURE="Application could not be started, or no application associated with the"
export SHELL_FAILURE+=$' specified file.\nShellExecuteEx failed: Internal error.'

# The stand-in: `wine wineboot` boots nothing; `wine PROGRAM` counts its starts and fails the first
# $FAILS of them as Wine's loader does, then prints one line (and $SAYS, if set) and ends with
# $STATUS.
cat >"$work/bin/wine" <<'STANDIN'
#!/usr/bin/env bash
[ "$1" = wineboot ] && exit 0
echo start >>"$STARTS"
if [ "$(wc -l <"$STARTS")" -le "$FAILS" ]; then
  echo "$SHELL_FAILURE"
  exit 1
fi
echo "output of $1"
[ -n "${SAYS:-}" ] && echo "$SAYS"
exit "$STATUS"
STANDIN
printf '#!/bin/sh\nexit 0\n' >"$work/bin/wineserver"
chmod +x "$work/bin/wine" "$work/bin/wineserver"

failures=0
# check FAILS STATUS EXPECTED-STARTS EXPECTED-EXIT EXPECTED-OUTPUT [SAYS]
check() {
  local fails=$1 status=$2 starts=$3 exit_expected=$4 output_expected=$5 says=${6:-}
  rm -f "$work/starts"
  local output exit_got
  output=$(PATH="$work/bin:$PATH" ZURO_WINEPREFIX="$work/prefix" TMPDIR="$work/tmp" \
           STARTS="$work/starts" FAILS=$fails STATUS=$status SAYS=$says \
           "$wine_run" board.exe 2>/dev/null)
  exit_got=$?
  local starts_got
  starts_got=$(wc -l <"$work/starts")
  local left
  left=$(ls -A "$work/tmp")
  if [ "$starts_got" != "$starts" ] || [ "$exit_got" != "$exit_expected" ] ||
     [ "$output" != "$output_expected" ] || [ -n "$left" ]; then
    echo "FAILED: $fails failed starts, program status $status:" \
         "started $starts_got times (expected $starts), exit $exit_got (expected $exit_expected)," \
         "output [$output] (expected [$output_expected]), left behind [$left]"
    failures=$((failures + 1))
  fi
}

check 0 0 1 0 "output of board.exe"
check 1 0 2 0 "output of board.exe"
check 2 0 3 0 "output of board.exe"   # the third start is the last
check 3 0 3 1 "$SHELL_FAILURE"        # three failed starts: Wine's own failure is the result
check 5 0 3 1 "$SHELL_FAILURE"
check 0 3 1 3 "output of board.exe"   # the program's own failure: never run again
check 1 3 2 3 "output of board.exe"
# A program that ran and printed Wine's words itself (a log it shows, say) ran all the same.
check 0 0 1 0 $'output of board.exe\nShellExecuteEx failed' "ShellExecuteEx failed"

[ "$failures" -eq 0 ] && echo "wine-run: all cases passed"
exit $((failures > 0))
