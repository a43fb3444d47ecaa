#!/usr/bin/env bash
# The manual pages render without a single warning (groff -ww, and man --warnings when man is
# installed), and they keep up with the programs: every message number of the catalogues and
# every option of trazon-batch's help has its entry.
# Usage: man_test.sh SOURCE_DIR [TRAZON_BATCH]
. "$(dirname "$0")/common.sh"
source=$1
batch=${2:-}
command -v groff >/dev/null || { echo "groff is not installed: skipped"; exit 77; }

for page in "$source"/man/*.1; do
    warnings=$(groff -ww -man -Tutf8 -z "$page" 2>&1) || fail "groff failed on $page"
    [ -z "$warnings" ] || fail "groff warns on $page: $warnings"
    if command -v man >/dev/null; then
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) ||
            fail "man failed on $page"
        [ -z "$warnings" ] || fail "man warns on $page: $warnings"
    fi
done

# The page text with roff's escaped hyphens made plain.
text() { sed 's/\\-/-/g' "$source/man/$1"; }

for number in $(cut -f1 "$source"/share/qrxroot/mess/edif2qrx/eng/*.msg | grep -E '^[0-9]+$'); do
    text trazon.1 | grep -qw "$number" || fail "trazon.1 does not explain message $number"
done
if [ -n "$batch" ]; then
    for option in $("$batch" --help | grep -oE '(^| |\[)--?[a-z]+:?' | tr -d ' [' | sort -u); do
        text trazon-batch.1 | grep -qF -- "$option" || fail "trazon-batch.1 lacks $option"
    done
fi
finish
