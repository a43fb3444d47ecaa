#!/usr/bin/env bash
# Runs the trazon converter: builds it on first use (or when its sources changed), provides the
# bundled installation when none is configured, prepares the log directory, runs the program with
# the given arguments and shows the error and warning logs that the run left. The program's exit
# code is passed through.
set -uo pipefail

# The checkout is found through the real file, so a link to this script (in ~/bin, say) works
# from any directory.
self="$(readlink -f -- "${BASH_SOURCE[0]}" 2>/dev/null || echo "${BASH_SOURCE[0]}")"
root="$(cd "$(dirname -- "$self")" && pwd)"
build="$root/build"
program="$build/bin/trazon"

needs_build() {
    [ -x "$program" ] || return 0
    [ -n "$(find "$root/src" "$root/CMakeLists.txt" -newer "$program" -print -quit 2>/dev/null)" ]
}

build_program() {
    local log="$build/trazon-build.log"
    mkdir -p "$build" || return 1
    {
        if [ ! -f "$build/CMakeCache.txt" ]; then
            # Configured as `make` does; without GoogleTest the program alone is built.
            cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ||
                cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
                    -DTRAZON_TESTS=OFF -DTRAZON_BENCH=OFF
        fi &&
            cmake --build "$build" --target trazon -j "$(nproc 2>/dev/null || echo 2)"
    } >"$log" 2>&1
    local rc=$?
    if [ $rc -ne 0 ]; then
        echo "trazon.sh: building the program failed; the build log follows ($log)" >&2
        cat "$log" >&2
    fi
    return $rc
}

if needs_build; then
    echo "trazon.sh: building the program in $build ..." >&2
    if command -v flock >/dev/null 2>&1; then
        mkdir -p "$build"
        # One build at a time when several runs start together.
        exec 9>"$build/.trazon-build.lock"
        flock 9
        if needs_build; then build_program && touch "$program" || exit 1; fi
        flock -u 9
        exec 9>&-
    else
        build_program && touch "$program" || exit 1
    fi
fi

export QRXROOT="${QRXROOT:-$root/share/qrxroot}"
export QLANG="${QLANG:-english}"

logdir="${HOME:-}"
logdir="${logdir:+$logdir/}norvel/kv/log"
[ -d "$logdir" ] || mkdir -p "$logdir" 2>/dev/null

# A log counts as this run's when it did not exist before or has changed since.
signature() { stat -c '%i %y %s' "$1" 2>/dev/null; }
before_err="$(signature "$logdir/trazon.err")"
before_wrn="$(signature "$logdir/trazon.wrn")"

"$program" "$@"
rc=$?

show_log() {
    local file="$1" before="$2" title="$3"
    [ -s "$file" ] || return 0
    [ "$(signature "$file")" != "$before" ] || return 0
    echo "trazon: $title ($file):" >&2
    cat "$file" >&2
}
show_log "$logdir/trazon.err" "$before_err" "error log"
show_log "$logdir/trazon.wrn" "$before_wrn" "warning log"

exit $rc
