#!/usr/bin/env bash
# One command for the Windows build: Qt and the C libraries for MinGW (each
# once, cached under ~/.cache/tallovar), then tallovar.exe, tallovar-admin.exe
# and SkinH_EL.dll into build-windows/ (or $TALLOVAR_WINDOWS_BUILD_DIR) with
# every DLL and plugin they need beside them, then the installer
# build-windows/tallovar-setup.exe. Prints the build directory on its last
# line.
set -euo pipefail
cd "$(dirname "$0")/../.."
here=scripts/windows
. "$here/target.sh"
# MinGW, the source packages' tools, the installer maker: what is missing.
scripts/setup.sh --windows
out=${TALLOVAR_WINDOWS_BUILD_DIR:-build-windows}
host=${out}-host

qt=$("$here/build_qt.sh" | tail -n 1)
mapfile -t libraries < <("$here/build_libs.sh")

launcher=()
command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

# The skin table is made at build time by a program that runs here: it comes
# from a build for this machine.
if [ ! -f "$host/CMakeCache.txt" ]; then
    cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOVAR_TESTS=OFF \
        -DTALLOVAR_FUZZ=OFF "${launcher[@]}"
fi
cmake --build "$host" --target generate_skin_table

# pkg-config answers for Windows: the libraries built above and the MinGW
# sysroot, nothing of this machine.
pkgconfig=/usr/$triplet/lib/pkgconfig
roots="$qt"
for prefix in "${libraries[@]}"; do
    pkgconfig="$prefix/lib/pkgconfig:$pkgconfig"
    roots="$roots;$prefix"
done
export PKG_CONFIG_LIBDIR=$pkgconfig
# A folder configured for another target (the 64-bit build of before) is
# made anew: CMake never changes a configured compiler.
if [ -f "$out/CMakeCache.txt" ] && ! grep -q "^CMAKE_CXX_COMPILER_AR:.*$triplet" "$out/CMakeCache.txt"; then
    rm -rf "$out"
fi
if [ ! -f "$out/CMakeCache.txt" ]; then
    cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/$here/mingw-toolchain.cmake" \
        -DCMAKE_FIND_ROOT_PATH="$roots" -DTALLOVAR_PRINT=ON \
        -DTALLOVAR_TESTS=OFF -DTALLOVAR_FUZZ=OFF \
        -DTALLOVAR_HOST_SKIN_TABLE_GENERATOR="$PWD/$host/app/generate_skin_table" \
        "${launcher[@]}"
elif ! grep -qxF "CMAKE_FIND_ROOT_PATH:UNINITIALIZED=$roots" "$out/CMakeCache.txt" ||
    ! grep -qx 'TALLOVAR_PRINT:BOOL=ON' "$out/CMakeCache.txt"; then
    # The cache keeps the library prefixes and the printing choice of its
    # first configuring: a folder made before libzint was built here kept
    # "Printing: not built". Printing is part of the Windows build.
    cmake -S . -B "$out" -DCMAKE_FIND_ROOT_PATH="$roots" -DTALLOVAR_PRINT=ON
fi
cmake --build "$out" --parallel "${TALLOVAR_JOBS:-$(nproc)}"

"$here/deploy.sh" "$out" "$qt" "${libraries[@]}"
# Packing takes most of a build without changes (about 40 s): the installer is
# made again only when a file of what tallovar.nsi packs, or the script, is
# newer than it.
installer="$out/tallovar-setup.exe"
if [ ! -f "$installer" ] || [ -n "$(find "$here/tallovar.nsi" "$out"/*.exe "$out"/*.dll "$out/qt.conf" \
    "$out/platforms" "$out/styles" "$out/translations" "$out/fonts" -newer "$installer" \
    ! -name tallovar-setup.exe -print -quit)" ]; then
    makensis -V2 -DBUILD_DIR="$PWD/$out" -DOUTPUT="$PWD/$installer" "$here/tallovar.nsi"
fi
echo "$out"
