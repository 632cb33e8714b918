#!/usr/bin/env bash
# Configures and builds into build/ (Release with debug info), or into
# $TALLOVAR_BUILD_DIR with build type $TALLOVAR_BUILD_TYPE when set.
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
# ccache, where installed, makes a rebuild of unchanged sources cheap.
command -v ccache >/dev/null 2>&1 && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
folder=${TALLOVAR_BUILD_DIR:-build}
if [ ! -f "$folder/CMakeCache.txt" ]; then
    cmake -S . -B "$folder" "${generator[@]}" -DCMAKE_BUILD_TYPE="${TALLOVAR_BUILD_TYPE:-RelWithDebInfo}" "$@"
fi
cmake --build "$folder" --parallel "$(nproc)"
