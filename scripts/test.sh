#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the suite in build/,
# the same suite in a Debug build in build-debug/, under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ (scripts/sanitize.sh), and each
# fuzz target for a short while (scripts/fuzz.sh), and the Windows program
# under Wine when Qt for 32-bit MinGW is built (TALLOVAR_WINDOWS=1 builds it).
# TALLOVAR_TEST_QUICK=1 runs the suite in build/ only.
set -euo pipefail
cd "$(dirname "$0")/.."
# What the tests and the Windows build need besides the program's own.
scripts/setup.sh --tests --windows
# The tests are built in every folder, also in build/ when the start command
# configured it without them.
export TALLOVAR_WITH_TESTS=1
# Sources not formatted as .clang-format asks end the run before the build,
# and so do statements or SQLite calls outside store/ and a circle among the
# folders' includes.
scripts/check_format.sh
scripts/check_structure.sh
scripts/build.sh
# A throw-away PostgreSQL cluster for the team-ledger runs (label "server"),
# stopped and removed on every way out.
server_dir=$(mktemp -d /tmp/tallovar-server-XXXXXX)
trap 'scripts/test_server.sh stop "$server_dir"' EXIT
TALLOVAR_TEST_SERVER=$(scripts/test_server.sh start "$server_dir")
export TALLOVAR_TEST_SERVER
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -LE '^wine$' "$@")
if [ "${TALLOVAR_TEST_QUICK:-0}" != 1 ]; then
    # The real-program tests once more with the 32-bit Windows program under
    # Wine (label "wine", registered in build/ only), when Qt for 32-bit MinGW
    # is built: building it takes over an hour on two cores, so only
    # TALLOVAR_WINDOWS=1 asks for it.
    if [ "${TALLOVAR_WINDOWS:-0}" = 1 ] || scripts/windows/build_qt.sh --cached >/dev/null; then
        windows=$(scripts/windows/build.sh | tee -a /dev/stderr | tail -n 1)
        cmake build -DTALLOVAR_WINDOWS_PROGRAM="$PWD/$windows/tallovar.exe" >/dev/null
        cmake --build build --parallel "$(nproc)"
        (cd build && ctest --output-on-failure -L '^wine$' "$@")
    else
        echo "Windows tests skipped: no Qt for 32-bit MinGW built; scripts/windows/build_qt.sh" \
            "builds it (over an hour on two cores), or run with TALLOVAR_WINDOWS=1" >&2
    fi
fi
if [ "${TALLOVAR_TEST_QUICK:-0}" != 1 ]; then
    # Without inlining, two definitions of one name link to whichever the
    # linker keeps; an optimised build can hide that, a Debug build shows it.
    TALLOVAR_BUILD_DIR=build-debug TALLOVAR_BUILD_TYPE=Debug scripts/build.sh
    # The package is made and tried from the plain build only.
    (cd build-debug && QT_QPA_PLATFORM=offscreen ctest -j2 --output-on-failure --timeout 900 \
        -E "^admin\.package$" "$@")
    scripts/sanitize.sh
    scripts/fuzz.sh "${TALLOVAR_FUZZ_SECONDS:-10}"
fi
