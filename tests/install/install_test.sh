#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the files land where the README says, and the
# installed trazon command works without QRXROOT, through links, from any directory and after
# the tree has been moved, while the converter underneath behaves exactly as before.
# Usage: install_test.sh BUILD_DIR
. "$(dirname "$0")/common.sh"
build=$1
prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "cmake --install"; finish; }

for f in bin/trazon bin/trazon-batch libexec/trazon/trazon share/trazon/info/landata.rsc \
    share/trazon/info/lanenv.rsc share/trazon/mess/edif2qrx/eng/error.msg \
    share/trazon/mess/edif2qrx/eng/guide.msg share/trazon/font/eng/qafont.vec \
    share/man/man1/trazon.1 share/man/man1/trazon-batch.1 share/doc/trazon/README.md \
    share/doc/trazon/copyright share/doc/trazon/examples/demo.hpgl; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for f in bin/trazon bin/trazon-batch libexec/trazon/trazon; do
    [ -x "$prefix/$f" ] || fail "not executable: $f"
done

home=$scratch/home
mkdir -p "$home" "$scratch/links/deeper" "$scratch/elsewhere"
ln -s "$prefix/bin/trazon" "$scratch/links/trazon"
ln -s ../trazon "$scratch/links/deeper/tz" # a relative link to a link
example=$prefix/share/doc/trazon/examples/demo.hpgl

# The command as installed, through a link, and through a chain of links, each from another
# directory; the log directory is made on the first run.
n=0
for command in "$prefix/bin/trazon" "$scratch/links/trazon" "$scratch/links/deeper/tz"; do
    n=$((n + 1))
    out=$scratch/elsewhere/demo$n.smb
    (cd "$scratch/elsewhere" && clean_run "$home" "$command" -o "$out" \
        ../prefix/share/doc/trazon/examples/demo.hpgl)
    rc=$?
    [ $rc -eq 0 ] || fail "$command exited with $rc"
    expect_saved "$home/norvel/kv/log" "$out"
done

# A sheet in a new circuit: its settings reference names the bundled installation.
clean_run "$home" "$prefix/bin/trazon" -o "$scratch/board.cir/demo.sht" "$example" ||
    fail "new circuit"
grep -qxF "landata : \"$prefix/share/trazon/info\"" "$scratch/board.cir/rcpath" ||
    fail "the circuit's rcpath: $(cat "$scratch/board.cir/rcpath")"

# A QRXROOT and QLANG of the user's own are kept.
cp -r "$prefix/share/trazon" "$scratch/own-root"
printf '36752\tkept in %%s\n' >"$scratch/own-root/mess/edif2qrx/eng/guide.msg"
clean_run "$home" QRXROOT="$scratch/own-root" "$prefix/bin/trazon" -o "$scratch/own.smb" \
    "$example" || fail "own QRXROOT"
grep -qF "<Mess.36752> kept in $scratch/own.smb" "$home/norvel/kv/log/trazon.wrn" ||
    fail "the user's QRXROOT was not used"
clean_run "$home" QLANG=japanese "$prefix/bin/trazon" -o "$scratch/lang.smb" "$example" ||
    fail "own QLANG"
grep -qF "The drawing was saved in $scratch/lang.smb" "$home/norvel/kv/log/trazon.wrn" &&
    fail "QLANG=japanese was replaced by english"
[ -s "$scratch/lang.smb" ] || fail "no output with QLANG=japanese"

# TRAZON_LOG_DIR: made when missing, and the home's logs are left alone.
rm -rf "$home/norvel"
clean_run "$home" TRAZON_LOG_DIR="$scratch/own-logs/run1" "$prefix/bin/trazon" \
    -o "$scratch/own-log.smb" "$example" || fail "TRAZON_LOG_DIR run"
expect_saved "$scratch/own-logs/run1" "$scratch/own-log.smb"
[ -e "$home/norvel" ] && fail "a run with TRAZON_LOG_DIR touched the home's log directory"

# The converter underneath: without QRXROOT it writes nothing and ends with 1.
clean_run "$home" "$prefix/libexec/trazon/trazon" -o "$scratch/none.smb" "$example" \
    >"$scratch/real.out" 2>&1
rc=$?
[ $rc -eq 1 ] || fail "the converter without QRXROOT exited with $rc"
[ -s "$scratch/real.out" ] && fail "the converter without QRXROOT printed: $(cat "$scratch/real.out")"
[ -e "$scratch/none.smb" ] && fail "the converter without QRXROOT wrote its output"

# The installed batch program runs the installed command beside it.
clean_run "$home" "$prefix/bin/trazon-batch" -j 2 -o "$scratch/symbols" \
    "$prefix/share/doc/trazon/examples" >"$scratch/batch.out" 2>&1 ||
    { cat "$scratch/batch.out"; fail "trazon-batch"; }
for name in demo house label scaled shapes; do
    expect_saved "$scratch/symbols/log/batch/$name" "$scratch/symbols/$name.smb"
done
counted=$(grep -cE ',converted,0,[^,]*,[1-9][0-9]*,[0-9.]+'$'\r''$' "$scratch/symbols/log/batch.csv")
[ "$counted" -eq 5 ] || fail "the report counts objects in $counted of 5 rows"

# The whole tree moved elsewhere still finds its parts.
mv "$prefix" "$scratch/moved"
clean_run "$home" "$scratch/moved/bin/trazon" -o "$scratch/moved.smb" \
    "$scratch/moved/share/doc/trazon/examples/demo.hpgl" || fail "moved tree"
expect_saved "$home/norvel/kv/log" "$scratch/moved.smb"
finish
