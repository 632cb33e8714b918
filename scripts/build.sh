#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info), or into
# $TALLOVAR_BUILD_DIR with build type $TALLOVAR_BUILD_TYPE when set.
# Arguments are CMake options for a folder configured for the first time.
# TALLOVAR_WITH_TESTS=1 builds the tests too, also in a folder configured
# earlier without them (as scripts/start.sh configures build/).
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
# ccache, where installed, makes a rebuild of unchanged sources cheap.
command -v ccache >/dev/null 2>&1 && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
folder=${TALLOVAR_BUILD_DIR:-build}
cache=$folder/CMakeCache.txt
if [ ! -f "$cache" ]; then
    tests=()
    [ "${TALLOVAR_WITH_TESTS:-0}" = 1 ] && tests=(-DTALLOVAR_TESTS=ON)
    cmake -S . -B "$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE="${TALLOVAR_BUILD_TYPE:-RelWithDebInfo}" \
        "$@" "${tests[@]}"
elif [ "${TALLOVAR_WITH_TESTS:-0}" = 1 ] && ! grep -qx 'TALLOVAR_TESTS:BOOL=ON' "$cache"; then
    cmake -S . -B "$folder" -DTALLOVAR_TESTS=ON
fi
cmake --build "$folder" --parallel "$(nproc)"
