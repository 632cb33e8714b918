#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/ (TALLOVAR_SANITIZE) and runs the whole test suite there. Any
# report ends the test that caused it. Leaks inside the libraries the program
# loads are listed in scripts/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
# strndup is not intercepted: with strict string checks ASan reads the source
# up to its terminator, and libxkbcommon-x11 (loaded by the X11 platform for
# the real-program runs under Xvfb) hands it counted, unterminated names.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:intercept_strndup=0
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
command -v ccache >/dev/null 2>&1 && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f build-asan/CMakeCache.txt ]; then
    cmake -S . -B build-asan "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTALLOVAR_SANITIZE=ON >/dev/null
fi
cmake --build build-asan --parallel 2
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j2 "$@"
