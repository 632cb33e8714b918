#!/usr/bin/env bash
# tallovar-admin.exe under Wine with Chinese texts where Windows hands a
# program its ANSI code page (GBK): the current folder 账本, a user name and
# file names on the command line, for a backup and for sheets to import (a CSV
# file and a workbook, which the Linux tool exports). Each reaches the ledger
# and the file system as itself, read back here in UTF-8. In a console (a
# terminal here, which Wine makes one of, in GBK) the tool's messages read as
# themselves.
# Usage: admin_texts_test.sh WINDOWS_PROGRAM LINUX_ADMIN_TOOL (tallovar-admin.exe
# beside the program)
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=../support/program.sh
. "$here/../support/program.sh"

root=$(mktemp -d)
trap 'program_end; rm -rf "$root"' EXIT
# Three orders exported by the Linux tool as 订单.csv and 订单.xlsx, to be
# imported by the Windows one; before the Wine prefix names its own drivers.
mkdir -p "$root/demo"
(cd "$root/demo" && "$2" init a b --demo 3 >/dev/null && "$2" export --output "$root/订单.csv" >/dev/null &&
    "$2" export --xlsx --output "$root/订单.xlsx" >/dev/null)
program_install "$1" "$root"
tool="$(dirname "$1")/tallovar-admin.exe"
ledgers="$root/账本"
mkdir -p "$ledgers"
admin() {  # admin ARGUMENT...: the Windows tool run in the ledger folder
    (cd "$ledgers" && LC_ALL=zh_CN.UTF-8 "$wine_loader" "$tool" "$@" 2>&1 | tr -d '\r')
}
made=$(admin init 老板 secret) || true
check "ledger made in the current folder" "SQLite format 3" "$(head -c 15 "$ledgers/tallovar.mdb" 2>/dev/null)"
check "user named as typed" 老板 "$(sqlite3 "$ledgers/tallovar.mdb" 'select username from sysuser' 2>&1)"
admin user add 店员 secret >/dev/null || true
admin backup 备份一.mdb >/dev/null || true
check "backup under the name typed, with both users" "老板
店员" "$(sqlite3 "$ledgers/备份一.mdb" 'select username from sysuser order by ID' 2>&1)"
windows_root="Z:${root//\//\\}"
imported=$(admin import "$windows_root\\订单.csv") || true
imported+=$(admin import --allow-duplicates "$windows_root\\订单.xlsx") || true
check "both sheets imported by their Chinese names" 6 \
    "$(sqlite3 "$ledgers/tallovar.mdb" 'select count(*) from 订单列表' 2>&1)"
# Wine draws its console on the terminal with escape sequences: only the text.
console=$(cd "$ledgers" && LC_ALL=zh_CN.UTF-8 script -qec "'$wine_loader' '$tool' 账目; '$wine_loader' '$tool' user list" /dev/null |
    sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' | tr -d '\r') || true
check "an unknown command named in the console" 1 "$(grep -c '未知的子命令：账目' <<<"$console")"
check "the users listed in the console" 1 "$(grep -c '店员' <<<"$console")"
[ "$failures" = 0 ] || echo "$made$imported$console"
exit "$failures"
