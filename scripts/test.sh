#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: the suite in build/,
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (scripts/sanitize.sh), and each fuzz target for a short while
# (scripts/fuzz.sh). TALLOVAR_TEST_QUICK=1 runs the suite in build/ only.
set -euo pipefail
cd "$(dirname "$0")/.."
export TALLOVAR_SETUP_TESTS=1  # also the spreadsheet clients the exchange tests use
scripts/setup.sh
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 "$@")
if [ "${TALLOVAR_TEST_QUICK:-0}" != 1 ]; then
    scripts/sanitize.sh
    scripts/fuzz.sh "${TALLOVAR_FUZZ_SECONDS:-10}"
fi
