#!/usr/bin/env bash
# Checks which packages scripts/install-deps asks apt-get for: only the missing ones, the Windows
# tools only for the full builds (a fuzz campaign must run where Wine cannot be installed), the
# i386 architecture only when an i386 package is missing, the install tried even when
# apt-get update failed in part, and an index apt refused fetched again into apt's lists.
# Stand-ins take the place of dpkg, apt-get, apt-config, apt-helper, sudo and npm, so the test
# installs nothing and needs no network.
#   install_deps_test.sh PATH-TO-INSTALL-DEPS
set -uo pipefail
install_deps=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
for tool in bash env grep id cat sed tee mktemp chmod cp rm; do
  ln -s "$(command -v "$tool")" "$work/bin/$tool"
done

# dpkg knows the packages listed in $INSTALLED and the foreign architectures in $FOREIGN.
cat >"$work/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case $1 in
  -s) grep -qxF "$2" "$INSTALLED" ;;
  --print-foreign-architectures) [ -n "$FOREIGN" ] && echo "$FOREIGN"; exit 0 ;;
  --add-architecture) echo "add-architecture $2" >>"$CALLS" ;;
esac
STANDIN
# apt-get logs what it was asked; update prints $UPDATE_OUTPUT and ends with $UPDATE_STATUS,
# install ends with $INSTALL_STATUS.
cat >"$work/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
case $1 in
  update) echo update >>"$CALLS"; printf '%s' "$UPDATE_OUTPUT" >&2; exit "$UPDATE_STATUS" ;;
  install) shift 3; echo "install $*" >>"$CALLS"; exit "$INSTALL_STATUS" ;;
esac
STANDIN
# apt keeps its lists in $work/lists. apt-helper fetches "$DOWNLOAD" (nothing when it is empty:
# the download fails) and reads a compressed file as cat would.
mkdir -p "$work/lists"
cat >"$work/bin/apt-config" <<'STANDIN'
#!/usr/bin/env bash
echo "lists='$LISTS/'"
STANDIN
cat >"$work/apt-helper" <<'STANDIN'
#!/usr/bin/env bash
case $1 in
  download-file) echo "download $2" >>"$CALLS"; [ -n "$DOWNLOAD" ] || exit 100
                 printf '%s' "$DOWNLOAD" >"$3" ;;
  cat-file) cat "$2" ;;
esac
STANDIN
printf '#!/usr/bin/env bash\nexec "$@"\n' >"$work/bin/sudo"
printf '#!/usr/bin/env bash\nexit 0\n' >"$work/bin/npm"
chmod +x "$work/bin/dpkg" "$work/bin/apt-get" "$work/bin/apt-config" "$work/apt-helper" \
  "$work/bin/sudo" "$work/bin/npm"
export APT_HELPER="$work/apt-helper" LISTS="$work/lists" UPDATE_OUTPUT="" DOWNLOAD=""

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# What install-deps asks for on a machine that has nothing: the test takes the lists from the
# script itself rather than keeping copies of them.
asked_for() {  # MODE
  : >"$work/installed" >"$work/calls"
  PATH="$work/bin" INSTALLED="$work/installed" FOREIGN=i386 CALLS="$work/calls" UPDATE_STATUS=0 \
    INSTALL_STATUS=0 bash "$install_deps" $1 >/dev/null 2>&1
  sed -n 's/^install //p' "$work/calls"
}
everything=$(asked_for "")
fuzz_everything=$(asked_for fuzz)
# The fuzz build is native only: nothing for Windows, nothing 32-bit.
for windows_only in mingw wine xvfb imagemagick fp-utils :i386; do
  if [[ $fuzz_everything == *"$windows_only"* ]]; then
    fail "fuzz mode asks for $windows_only: [$fuzz_everything]"
  fi
done
first=${everything%% *}
last=${everything##* }

# check NAME MODE INSTALLED FOREIGN UPDATE-STATUS INSTALL-STATUS EXPECTED-EXIT EXPECTED-CALLS
check() {
  local name=$1 mode=$2 installed=$3 foreign=$4 update=$5 install=$6 exit_expected=$7 calls=$8
  tr ' \n' '\n\n' <<<"$installed" >"$work/installed"
  : >"$work/calls"
  local exit_got
  PATH="$work/bin" INSTALLED="$work/installed" FOREIGN=$foreign CALLS="$work/calls" \
    UPDATE_STATUS=$update INSTALL_STATUS=$install bash "$install_deps" $mode >/dev/null 2>&1
  exit_got=$?
  local calls_got
  calls_got=$(cat "$work/calls")
  if [ "$exit_got" != "$exit_expected" ] || [ "$calls_got" != "$calls" ]; then
    fail "$name: exit $exit_got (expected $exit_expected)," \
         "calls [$calls_got] (expected [$calls])"
  fi
}

check "all there" "" "$everything" "" 0 0 0 ""
check "fuzz, all there, no Wine" fuzz "$fuzz_everything" "" 0 0 0 ""
check "fuzz, clang missing, no Wine" fuzz "${fuzz_everything/clang-14 /}" "" 0 0 0 \
  $'update\ninstall clang-14'
check "full build, the last package missing" "" "${everything% "$last"}" i386 0 0 0 \
  "update"$'\n'"install $last"
check "full build, the first package missing" "" "${everything#"$first" }" i386 0 0 0 \
  "update"$'\n'"install $first"
check "32-bit Wine missing, i386 not yet added" "" "${everything/wine32:i386/}" "" 0 0 0 \
  $'add-architecture i386\nupdate\ninstall wine32:i386'
check "32-bit Wine missing, i386 added before" "" "${everything/wine32:i386/}" i386 0 0 0 \
  $'update\ninstall wine32:i386'
check "update fails in part" "" "${everything/xvfb/}" i386 100 0 0 $'update\ninstall xvfb'
check "install fails" "" "${everything/xvfb/}" i386 0 100 100 $'update\ninstall xvfb'

# A mirror mid-sync: apt refused the i386 index of the security suite, and the mirror's own copy
# becomes apt's list for it, under the name apt gives it; other failures are not fetched.
index=mirror.test/debian-security/dists/bookworm-security/main/binary-i386/Packages
list="$work/lists/mirror.test_debian-security_dists_bookworm-security_main_binary-i386_Packages"
mid_sync="File has unexpected size (374820 != 376004). Mirror sync in progress?"
UPDATE_OUTPUT="Err:4 http://$index.xz
E: Failed to fetch http://$index.xz  $mid_sync
E: Failed to fetch http://mirror.test/debian/dists/bookworm/InRelease  Could not resolve host
E: Some index files failed to download. They have been ignored, or old ones used instead.
"
DOWNLOAD=$'Package: wine32\nVersion: 8.0\n'
check "index refused mid-sync, fetched again" "" "${everything/wine32:i386/}" i386 100 0 0 \
  "update"$'\n'"download https://$index.xz"$'\n'"install wine32:i386"
if [ "$(cat "$list" 2>/dev/null)" != "${DOWNLOAD%$'\n'}" ]; then
  fail "the refused index is not in apt's lists as $list"
fi
rm -f "$list"
# A copy that is no index at all (an error page, say) is not put among apt's lists.
DOWNLOAD="<html>Not Found</html>"
check "index refused, the copy is no index" "" "${everything/wine32:i386/}" i386 100 0 0 \
  "update"$'\n'"download https://$index.xz"$'\n'"install wine32:i386"
if [ -e "$list" ]; then
  fail "a copy that is no index went into apt's lists"
fi
# When the copy cannot be fetched either, the install is tried all the same.
DOWNLOAD=""
check "index refused, not fetched again" "" "${everything/wine32:i386/}" i386 100 100 100 \
  "update"$'\n'"download https://$index.xz"$'\n'"install wine32:i386"
UPDATE_OUTPUT=""

[ "$failures" -eq 0 ] && echo "install-deps: all cases passed"
exit $((failures > 0))
