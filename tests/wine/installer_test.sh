#!/usr/bin/env bash
# The installer as a user runs it, silently (/S) in a fresh 32-bit Wine
# prefix (where the user may write HKLM, as an administrator without UAC):
# the program and the launcher in the user's folder, the Start-menu entry
# naming the launcher, and the SQLite driver registered as Windows registers
# a driver, read back from the registry. The uninstaller (/S) removes the
# driver's entry and nothing of another driver's.
# Usage: installer_test.sh WINDOWS_PROGRAM (tallovar-setup.exe lies beside it)
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=wine_prefix.sh
. "$here/wine_prefix.sh"

root=$(mktemp -d)
export WINEPREFIX="$root/prefix" WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY=""
trap '"$wine_server" --kill 2>/dev/null; rm -rf "$root"' EXIT
w() { LC_ALL=zh_CN.UTF-8 "$wine_loader" "$@" 2>/dev/null | tr -d '\r'; }
w wineboot --init >/dev/null
key='HKLM\Software\ODBC\ODBCINST.INI'
# Another driver registered before: the uninstaller must leave it.
w reg add "$key\ODBC Drivers" /v "Other Driver" /d Installed /f >/dev/null
w reg add "$key\Other Driver" /v Driver /d 'C:\other.dll' /f >/dev/null

w "$(dirname "$1")/tallovar-setup.exe" /S
"$wine_server" --wait
# value KEY NAME: the data of a registry value, or empty.
value() { w reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
install=$(value 'HKCU\Software\Tallovar' InstallDir)
check "installed into the user's folder" yes "$([[ $install == *'\AppData\Local\Programs\Tallovar' || $install == *'\Local Settings\Application Data\Programs\Tallovar' ]] && echo yes)"
folder=$(w winepath -u "$install")
for file in tallovar.exe tallovar-admin.exe tallovar-start.exe sqlite3odbc.dll fonts/wqy-microhei.ttc; do
    check "$file installed" yes "$([ -f "$folder/$file" ] && echo yes)"
done
check "listed among the drivers" Installed "$(value "$key\ODBC Drivers" "Tallovar SQLite3 ODBC Driver")"
check "driver" "$install\\sqlite3odbc.dll" "$(value "$key\Tallovar SQLite3 ODBC Driver" Driver)"
check "setup" "$install\\sqlite3odbc.dll" "$(value "$key\Tallovar SQLite3 ODBC Driver" Setup)"
check "usage count" 0x1 "$(value "$key\Tallovar SQLite3 ODBC Driver" UsageCount)"
check "not under the Access driver's name" "" \
    "$(value "$key\ODBC Drivers" "Microsoft Access Driver (*.mdb)")"
menu=$(find "$WINEPREFIX/drive_c" -name 'Tallovar 订单账本.lnk' | head -n 1)
check "Start-menu entry names the launcher" yes \
    "$([ -n "$menu" ] && grep -qa 'tallovar-start.exe' "$menu" && echo yes)"

w "$install\\uninstall.exe" /S
"$wine_server" --wait
sleep 2  # the uninstaller finishes from its copy in the temporary folder
check "program folder removed, nothing left in it" no "$([ -e "$folder" ] && echo yes || echo no)"
check "driver entry removed" "" "$(value "$key\ODBC Drivers" "Tallovar SQLite3 ODBC Driver")"
check "driver key removed" no \
    "$(w reg query "$key\Tallovar SQLite3 ODBC Driver" >/dev/null 2>&1 && echo yes || echo no)"
check "the other driver stays" Installed "$(value "$key\ODBC Drivers" "Other Driver")"
check "the other driver's key stays" 'C:\other.dll' "$(value "$key\Other Driver" Driver)"
exit "$failures"
