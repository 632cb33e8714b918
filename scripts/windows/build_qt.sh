#!/bin/sh
# Builds Qt's base modules (Core, Gui, Widgets, PrintSupport and the Windows
# platform plugin) for 32-bit Windows from Debian's own qt6-base source, once.
# (Qt 6.4 is the last Qt that builds for 32-bit MinGW.) The result is kept
# outside any build tree, in $TALLOVAR_WINDOWS_QT (default
# ~/.cache/tallovar/qt-<version>-<target>-<features>), and built again only
# when missing or made from another source version, target or feature set.
# Prints the prefix on its last line.
# With --cached it builds nothing: prints the prefix when that very build is
# there, else fails.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
. "$here/target.sh"
cache=${TALLOVAR_CACHE:-$HOME/.cache/tallovar}
# The host Qt's version: the Windows Qt must match the tools it borrows.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream=${version%%+*}
# The optional modules built: part of the cache's name and of its stamp.
features=print
prefix=${TALLOVAR_WINDOWS_QT:-$cache/qt-$upstream-$target_tag-$features}
stamp="$prefix/tallovar-qt-source"
build_id="$version $triplet $features"
work="$cache/qt-build-$upstream-$target_tag-$features"

is_built() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$build_id" ]; }
if [ "${1:-}" = --cached ]; then
    is_built && echo "$prefix"
    exit
fi
# MinGW and the tools that unpack Debian's source packages, when missing.
"$here/../setup.sh" --windows

# One build at a time: a second caller waits for the first (also for one
# started before this lock existed) and then finds its result.
mkdir -p "$cache"
exec 9> "$cache/qt-$upstream-$target_tag-$features.lock"
flock 9
while pgrep -f -- "$work" >/dev/null; do sleep 30; done

if is_built; then
    echo "$prefix"
    exit 0
fi

src="$cache/src"
mkdir -p "$src"
cd "$src"
if [ ! -f "qt6-base_$version.dsc" ]; then
    apt-get source -q --download-only "qt6-base=$version"
fi
tree="$src/qt6-base-$upstream-$target_tag-$features"
rm -rf "$tree"
dpkg-source -q -x "qt6-base_$version.dsc" "$tree"

rm -rf "$work" "$prefix"
cmake -G Ninja -S "$tree" -B "$work" \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF \
    -DFEATURE_printsupport=ON -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl_desktop=ON
cmake --build "$work" --parallel "${TALLOVAR_JOBS:-2}"
cmake --install "$work"
echo "$build_id" > "$stamp"
rm -rf "$work" "$tree"
echo "$prefix"
