#!/usr/bin/env bash
# tallovar-admin.exe under Wine with Chinese texts where Windows hands a
# program its ANSI code page (GBK): the current folder 账本, a user name and a
# file name on the command line. Each reaches the ledger and the file system
# as itself, read back here in UTF-8.
# Usage: admin_texts_test.sh WINDOWS_PROGRAM (tallovar-admin.exe beside it)
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=../support/program.sh
. "$here/../support/program.sh"

root=$(mktemp -d)
trap 'program_end; rm -rf "$root"' EXIT
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
[ "$failures" = 0 ] || echo "$made"
exit "$failures"
