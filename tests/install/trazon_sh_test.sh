#!/usr/bin/env bash
# trazon.sh reached through links (a link in a bin folder, a relative link to that link) and run
# from another directory finds its checkout through the real file. The checkout is a scratch
# copy holding the script, the bundled installation and the built program, so nothing is built.
# Usage: trazon_sh_test.sh SOURCE_DIR TRAZON_PROGRAM
. "$(dirname "$0")/common.sh"
source=$1
program=$2
checkout=$scratch/checkout
mkdir -p "$checkout/build/bin" "$checkout/share" "$scratch/bin/more" "$scratch/work"
cp "$source/trazon.sh" "$checkout/"
cp -r "$source/share/qrxroot" "$checkout/share/"
cp "$program" "$checkout/build/bin/trazon"
ln -s "$checkout/trazon.sh" "$scratch/bin/trazon"
ln -s ../trazon "$scratch/bin/more/tz"

home=$scratch/home
mkdir -p "$home"
for command in "$scratch/bin/trazon" "$scratch/bin/more/tz"; do
    name=$(basename "$command")
    (cd "$scratch/work" && clean_run "$home" "$command" -o "$scratch/work/$name.smb" \
        "$source/share/examples/house.hpgl") 2>"$scratch/err.txt"
    rc=$?
    [ $rc -eq 0 ] || fail "$command exited with $rc: $(cat "$scratch/err.txt")"
    expect_saved "$home/norvel/kv/log" "$scratch/work/$name.smb"
    grep -qF "trazon: warning log" "$scratch/err.txt" || fail "$command did not show the log"
    grep -qF "building" "$scratch/err.txt" && fail "$command tried to build"
done
finish
