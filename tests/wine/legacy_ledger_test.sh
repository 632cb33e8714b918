#!/usr/bin/env bash
# A ledger of the Access driver under Wine, and its conversion: a tallovar.mdb
# that does not begin as an SQLite database opens through the designed Access
# connection string (the tests' stand-in for the Access driver opens the SQLite
# database beside it), and a user signs in; tallovar-admin convert then turns
# it into an SQLite ledger, keeps the old file byte for byte under its new
# name, and the program opens the new ledger through the SQLite driver.
# Usage: legacy_ledger_test.sh WINDOWS_PROGRAM LINUX_ADMIN_TOOL
set -euo pipefail
if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=../support/program.sh
. "$here/../support/program.sh"
# shellcheck source=../support/sign_in.sh
. "$here/../support/sign_in.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
program_install "$1" "$root"
work="$root/账本"  # a Chinese folder, as the program and the tool read it on Windows
mkdir -p "$work"
(cd "$work" && "$2" init 老板 secret >/dev/null && "$2" user add boss secret >/dev/null)
mv "$work/tallovar.mdb" "$work/tallovar.mdb.sqlite"
legacy='Standard Jet DB, a ledger of the Access driver'
printf '%s' "$legacy" >"$work/tallovar.mdb"

# signs_in WHAT: the program started in the ledger folder signs boss in.
signs_in() {
    program_start "$work"
    check "$1: login window" yes "$([ -n "$(program_window '^Tallovar$')" ] && echo yes)"
    sign_in boss secret
    check "$1: signed in" yes "$([ -n "$(program_window '^订单管理$')" ] && echo yes)"
    # Every process of the prefix ends, the program's too, not only the
    # shell that started it.
    "$wine_server" --kill 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
}
signs_in "legacy ledger through the Access string"

converted=$(cd "$work" && LC_ALL=zh_CN.UTF-8 "$wine_loader" "$(dirname "$1")/tallovar-admin.exe" \
    convert 2>&1 | tr -d '\r') || true
check "convert says what it did" yes "$(grep -q '已转换：2 个用户，0 张订单' <<<"$converted" && echo yes)"
check "new ledger is an SQLite file" "SQLite format 3" "$(head -c 15 "$work/tallovar.mdb")"
kept=$(find "$work" -name 'tallovar-access-*.mdb')
check "old ledger kept byte for byte" "$legacy" "$(cat "$kept" 2>/dev/null)"
check "users with their ids" "1|老板
2|boss" "$(sqlite3 "$work/tallovar.mdb" 'select ID, username from sysuser order by ID')"
rm "$work/tallovar.mdb.sqlite"  # the new ledger stands alone
signs_in "converted ledger through the SQLite driver"
[ "$failures" = 0 ] || echo "$converted"
exit "$failures"
