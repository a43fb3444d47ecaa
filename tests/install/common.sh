# Shared by the installation tests: a scratch folder removed at the end, a failure that names
# what went wrong, and runs in a clean environment (no QRXROOT, no QLANG).
set -u
scratch=$(mktemp -d "${TRAZON_TEST_TMP:-${TMPDIR:-/tmp}}/install-XXXXXX") || exit 1
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# clean_run HOME COMMAND...: the command with only HOME and PATH set.
clean_run() {
    local home=$1
    shift
    env -i HOME="$home" PATH=/usr/bin:/bin "$@"
}

# expect_saved LOGDIR OUTPUT: the output exists and the warning log says, in English, that it
# was saved there.
expect_saved() {
    [ -s "$2" ] || fail "no output $2"
    grep -qF "<Mess.36752> The drawing was saved in $2." "$1/trazon.wrn" 2>/dev/null ||
        fail "the warning log in $1 does not report $2"
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}
