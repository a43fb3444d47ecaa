#!/usr/bin/env bash
# Runs the tests of the Windows build under wine: the unit tests, the end-to-end tests and the
# checks of the programs and the zip. Usage: tools/test-windows.sh <build directory> [jobs]
#
# The wine prefix (a private "Windows installation" with its registry) lives in the build
# directory and is made on the first run; wine's server is kept running for the duration of the
# tests, so that each test program starts quickly, and stopped afterwards. No display is used:
# the usage box is left out by the tests (TRAZON_NO_MESSAGE_BOX), and without a display wine's
# message boxes fail at once instead of waiting.
set -euo pipefail

build="$(cd "${1:?usage: $0 <build directory> [jobs]}" && pwd)"
jobs="${2:-2}"

export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no .NET or browser installers on the first start
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "test-windows: making the wine prefix $WINEPREFIX" >&2
    wine wineboot --init >/dev/null 2>&1
fi
# Wait for the server of an earlier start to end, then keep one running until the tests are
# done (unless another run of this prefix keeps one already).
wineserver --wait || true
if wineserver --persistent 2>/dev/null; then
    trap 'wineserver --kill >/dev/null 2>&1 || true' EXIT
fi
# Start wine's own background processes now, away from the output of the tests: one started by
# a test would hold that test's output open, and the test runner would wait for it to close.
wine wineboot </dev/null >/dev/null 2>&1 || true

cd "$build"
ctest --output-on-failure -j "$jobs"
