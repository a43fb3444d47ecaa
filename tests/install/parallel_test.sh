#!/usr/bin/env bash
# The README's scale-out on one machine: the corpus split into chunks, one trazon-batch per
# chunk started by GNU parallel (--sshlogin : is this machine), each chunk into a circuit of its
# own; every plot becomes a sheet and every chunk reports on its plots.
# Usage: parallel_test.sh TRAZON_BATCH SOURCE_DIR CORPUS_DIR
. "$(dirname "$0")/common.sh"
batch=$1
source=$2
corpus=$3
command -v parallel >/dev/null || { echo "GNU parallel is not installed: skipped"; exit 77; }
[ -d "$corpus" ] || { echo "no corpus: skipped"; exit 77; }

find "$corpus" -type f ! -name INDEX.tsv ! -name PROVENANCE.md | sort >"$scratch/plots"
total=$(wc -l <"$scratch/plots")
mkdir -p "$scratch/chunks" "$scratch/out" "$scratch/home"
(cd "$scratch/chunks" && split -n r/4 "$scratch/plots" chunk.)

clean_run "$scratch/home" QRXROOT="$source/share/qrxroot" QLANG=english \
    "$(command -v parallel)" --sshlogin : --jobs 2 \
    "$batch -j 1 -o $scratch/out/{/}.cir - < {}" ::: "$scratch"/chunks/chunk.* \
    >"$scratch/parallel.log" 2>&1 || { cat "$scratch/parallel.log"; fail "parallel"; }

sheets=$(find "$scratch/out" -maxdepth 2 -name '*.sht' | wc -l)
[ "$sheets" -eq "$total" ] || fail "$sheets sheets for $total plots"
rows=0
for chunk in "$scratch"/chunks/chunk.*; do
    csv=$scratch/out/$(basename "$chunk").cir/log/batch.csv
    [ -f "$csv" ] || { fail "no report $csv"; continue; }
    expected=$(wc -l <"$chunk")
    got=$(grep -c ',converted,0,' "$csv")
    [ "$got" -eq "$expected" ] || fail "$csv: $got converted of $expected"
    rows=$((rows + got))
done
[ "$rows" -eq "$total" ] || fail "$rows rows for $total plots"
finish
