#!/usr/bin/env bash
# sqlite3odbc.dll of the Windows build, as Windows' driver manager would use
# it: a Windows program loads it, connects with the keys the program gives the
# driver, and reads a ledger that tallovar-admin made (Chinese texts, a
# Chinese folder name).
# Usage: driver_dll_test.sh WINDOWS_PROGRAM ADMIN_TOOL (sqlite3odbc.dll lies
# beside WINDOWS_PROGRAM)
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=wine_prefix.sh
. "$here/wine_prefix.sh"

root=$(mktemp -d)
trap 'wine_prefix_end; rm -rf "$root"' EXIT
dll="$(dirname "$1")/sqlite3odbc.dll"
exports=$(i686-w64-mingw32-objdump -p "$dll")
check "the driver is PE32 and exports its functions undecorated" "PE32 1" \
    "$(file -b "$dll" | cut -d' ' -f1) $(grep -cE '\] SQLDriverConnectW$' <<<"$exports")"
i686-w64-mingw32-gcc-posix -O1 -o "$root/driver_probe.exe" "$here/driver_probe.c"
cp "$dll" "$root/"
mkdir "$root/账本"
(cd "$root/账本" && "$2" init 老板 secret >/dev/null && "$2" user add boss pw >/dev/null)
wine_prefix_start "$root/wine" "${TALLOVAR_WINE_ODBC_DRIVER:-unused}"
windows() { printf 'Z:%s' "${1//\//\\}"; }
read_back=$(cd "$root" && LC_ALL=zh_CN.UTF-8 "$wine_loader" driver_probe.exe \
    "$(windows "$root/sqlite3odbc.dll")" "$(windows "$root/账本/tallovar.mdb")" \
    "select ID, username from sysuser order by ID" 2>"$root/errors" | tr -d '\r') || true
check "users read through the DLL" "1|老板
2|boss" "$read_back"
[ -s "$root/errors" ] && sed 's/^/probe: /' "$root/errors"
exit "$failures"
