#!/usr/bin/env bash
# Checks that no source file includes a header of a layer above its own, which also keeps the
# folders free of cycles. Usage: check-layers.sh <src directory>. Prints every offending include
# and exits 1 when there is one.
set -euo pipefail
src=${1:?usage: check-layers.sh <src directory>}

# The folders each folder may include, from the bottom up. The driver (app) works through the
# conversion and never names the interpreter; the batch program (batch) reads databases and runs
# the converter as a program; the preview (view) sits above everything.
declare -A allowed=(
  [base]="base"
  [geom]="base geom"
  [font]="base geom font"
  [db]="base geom font db"
  [hpgl]="base geom font hpgl"
  [convert]="base geom font db hpgl convert"
  [app]="base geom font db convert app"
  [batch]="base geom font db batch"
  [view]="base geom font db hpgl convert app view"
)

status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z ${allowed[$folder]+set} ]]; then
    echo "$folder: a folder the layer table does not know" >&2
    status=1
    continue
  fi
  while IFS= read -r line; do
    file=${line%%:*}
    [[ $line =~ include\ \"([^/\"]+)/ ]] || continue
    included=${BASH_REMATCH[1]}
    if [[ " ${allowed[$folder]} " != *" $included "* ]]; then
      echo "$file includes a header of $included, above $folder: ${line#*:}" >&2
      status=1
    fi
  done < <(grep -HE '^\s*#\s*include "[^/"]+/' "$dir"*.cpp "$dir"*.h 2>/dev/null || true)
done
exit $status
