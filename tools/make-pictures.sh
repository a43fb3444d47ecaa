#!/usr/bin/env bash
# Regenerates the pictures of the README (docs/pictures/*.svg): every example plot of
# share/examples converted into a symbol by the converter and drawn by the preview, both built
# in the given build directory. The symbols are made in a temporary directory and not kept.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/home/norvel/kv/log" "$root/docs/pictures"
export QRXROOT="$root/share/qrxroot" HOME="$work/home" SOURCE_DATE_EPOCH=1796400716
for plot in "$root"/share/examples/*.hpgl; do
    name="$(basename "$plot" .hpgl)"
    "$build/bin/trazon" -m new -o "$work/$name.smb" "$plot"
    "$build/bin/trazon-view" "$work/$name.smb" -o "$root/docs/pictures/$name.svg"
    echo "docs/pictures/$name.svg"
done
