#!/usr/bin/env bash
# deploy.sh BUILD_DIR QT_PREFIX LIBRARY_PREFIX...: puts beside the Windows
# programs in BUILD_DIR the SQLite ODBC driver and every DLL they load that
# Windows itself lacks (Qt's, the C libraries', the MinGW runtime's), the Qt
# plugins they need (platforms/qwindows.dll, styles/), the printed pages'
# font, the skin library, and Qt's Chinese texts with a qt.conf that leads Qt
# to them. DLLs are found by reading the import tables, so a new dependency
# cannot be forgotten.
set -euo pipefail
. "$(dirname "$0")/target.sh"
out=$1 qt=$2
shift 2
search=("$qt/bin")
for prefix in "$@"; do search+=("$prefix/bin" "$prefix/lib"); done
search+=("/usr/$triplet/lib" /usr/lib/gcc/"$triplet"/*-posix)

# The file of a DLL name in the search folders (names compare without case);
# nothing for Windows' own DLLs.
find_dll() {
    local folder
    for folder in "${search[@]}"; do
        find "$folder" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null
    done | head -n 1
}

# Copies what a binary imports into BUILD_DIR, and what those import in turn.
declare -A seen=()
deploy_imports() {
    local name file headers
    # A binary built for another target is a broken build, not one to ship.
    headers=$("$triplet-objdump" -p "$1") || {
        echo "deploy.sh: $1 is not built for $triplet" >&2
        exit 1
    }
    for name in $(sed -n 's/^\s*DLL Name: //p' <<<"$headers"); do
        local key=${name,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        file=$(find_dll "$name")
        [ -n "$file" ] || continue
        cp -u "$file" "$out/"
        deploy_imports "$file"
    done
}

cp -u "$out/skin/SkinH_EL.dll" "$out/"
# The SQLite ODBC driver, which nothing imports: the installer registers it
# from here.
for prefix in "$@"; do
    [ -f "$prefix/bin/sqlite3odbc.dll" ] && cp -u "$prefix/bin/sqlite3odbc.dll" "$out/"
done
mkdir -p "$out/platforms" "$out/styles" "$out/translations"
cp -u "$qt/plugins/platforms/qwindows.dll" "$out/platforms/"
cp -u "$qt"/plugins/styles/*.dll "$out/styles/" 2>/dev/null || true
for binary in "$out/tallovar.exe" "$out/tallovar-admin.exe" "$out/tallovar-start.exe" "$out/SkinH_EL.dll" \
    "$out/sqlite3odbc.dll" "$out"/platforms/*.dll "$out"/styles/*.dll; do
    [ -f "$binary" ] && deploy_imports "$binary"
done

# The printed pages' font (print/page_parts.cpp adds what fonts/ holds): a
# Windows PC has no WenQuanYi Micro Hei, and a font that shares glyphs between
# ideographs and the Kangxi radicals makes a PDF whose Chinese copies out
# wrong. Debian's font, with its licence.
mkdir -p "$out/fonts"
cp -u /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$out/fonts/"
cp -u /usr/share/doc/fonts-wqy-microhei/copyright "$out/fonts/wqy-microhei-copyright.txt"
# Qt 6 has the Windows printers in Qt6PrintSupport.dll itself (no
# printsupport plugin), which the import tables bring.

# The zh_CN texts of Qt's own dialogs and buttons (platform independent).
cp -u /usr/share/qt6/translations/qtbase_zh_CN.qm "$out/translations/"
# Written only when it changes, so that the installer is not made again for it.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' > "$out/qt.conf.new"
if cmp -s "$out/qt.conf.new" "$out/qt.conf"; then rm "$out/qt.conf.new"; else mv "$out/qt.conf.new" "$out/qt.conf"; fi
