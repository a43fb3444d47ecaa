#!/bin/sh
# Rebuilds the bundled standard stroke font from its stroke table:
#   tools/mkvecfont.sh            writes share/qrxroot/font/eng/qafont.vec
#   tools/mkvecfont.sh --check    only tells whether the committed file is up to date
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
target="$root/share/qrxroot/font/eng/qafont.vec"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
${CXX:-c++} -std=c++20 -O1 -Wall -Wextra -o "$work/mkvecfont" "$here/mkvecfont.cpp"
"$work/mkvecfont" "$here/fontdata/qafont.strokes" "$work/qafont.vec"
if [ "${1:-}" = "--check" ]; then
    cmp -s "$work/qafont.vec" "$target" && echo "qafont.vec is up to date" && exit 0
    echo "qafont.vec differs from its stroke table: run tools/mkvecfont.sh" >&2
    exit 1
fi
mkdir -p "$(dirname "$target")"
cp "$work/qafont.vec" "$target"
echo "wrote $target"
