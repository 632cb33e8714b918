#!/usr/bin/env bash
# smoke.sh [BUILD_DIR]: a quick look at the Windows build under Wine, in a
# throw-away Wine prefix and X server: installs tallovar-setup.exe silently
# and lists what landed, then starts the installed program in a folder with a
# demo ledger (made by the Linux tallovar-admin in build/) and saves a
# screenshot of its login window as BUILD_DIR/login-under-wine.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-build-windows}
setup=$PWD/$out/tallovar-setup.exe
[ -f "$setup" ] || { echo "no $setup: run scripts/windows/build.sh first" >&2; exit 1; }
admin=$PWD/build/tallovar-admin
[ -x "$admin" ] || { echo "no $admin: run scripts/build.sh first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The program is 32-bit: Wine's 32-bit loader and server, named, since
# /usr/bin/wine may pick the 64-bit ones.
export WINE_LOADER=${TALLOVAR_WINE_LOADER:-/usr/lib/wine/wine}
export WINE_SERVER=${TALLOVAR_WINE_SERVER:-/usr/lib/wine/wineserver32}
# zh_CN: Wine's ANSI code page is then 936, GBK, as on a Chinese Windows.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

mkdir -p "$work/ledger"
(cd "$work/ledger" && "$admin" init admin admin >/dev/null)
shot=$PWD/$out/login-under-wine.png
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -e
    "$WINE_LOADER" wineboot -i
    "$WINE_LOADER" "$1" /S
    "$WINE_SERVER" -w
    folder=$(find "$WINEPREFIX/drive_c/users" -type d -path "*/AppData/Local/Programs/Tallovar" | head -n 1)
    echo "installed in $folder:"
    (cd "$folder" && find . -type f | sort)
    echo "Start menu:"
    find "$WINEPREFIX/drive_c/users" -path "*Start Menu/Programs/Tallovar/*"
    cd "$2"
    "$WINE_LOADER" "$folder/tallovar.exe" &
    sleep "${TALLOVAR_SMOKE_WAIT:-20}"
    import -window root "$3"
    "$WINE_SERVER" -k
' smoke "$setup" "$work/ledger" "$shot"
echo "$shot"
