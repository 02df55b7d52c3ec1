#!/usr/bin/env bash
# Checks scripts/check-layers on small trees of its own: an include from a layer below is
# accepted, one from a layer above is named by file and line, two folders of one layer that
# include each other are named, and the project's own tree passes.
#   check_layers_test.sh PATH-TO-CHECK-LAYERS
set -uo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
expect() {  # name, expected status, expected line (a grep pattern, or ""), arguments...
  local name=$1 status=$2 line=$3; shift 3
  local out
  out=$("$check" "$@" 2>&1)
  local got=$?
  if [ "$got" -ne "$status" ] || { [ -n "$line" ] && ! grep -q -- "$line" <<<"$out"; }; then
    echo "FAIL $name: status $got (expected $status), output:"
    echo "$out"
    failed=1
  fi
}
plant() {  # file, include line...
  mkdir -p "$(dirname "$work/$1")"
  local file=$1; shift
  printf '%s\n' "// a planted source" "$@" >"$work/$file"
}

plant generation/run.cpp '#include "generation/run.h"' '#include "readers/report.h"' \
  '#include "base/text.h"' '#include <string>'
plant converter/grid/grid.cpp '#include "converter/window.h"' '#include "table/model.h"'
expect "downward includes" 0 "" --root "$work"

plant base/text.h '#pragma once' '#include "host/entry.h"'
expect "upward include" 1 '^base/text.h:3: base/ includes host/entry.h, from the layer above$' \
  --root "$work"
rm "$work/base/text.h"

plant readers/report.cpp '#include "templates/fields.h"'
plant templates/fields.cpp '#include "readers/report.h"'
expect "folders that include each other" 1 '^readers/ and templates/ include each other' \
  --root "$work"
rm "$work/templates/fields.cpp"
expect "one way within a layer" 0 "" --root "$work"

# The project's own tree.
expect "the project's tree" 0 '^layers: ' 

[ "$failed" -eq 0 ] && echo "check-layers: every case passed"
exit "$failed"
