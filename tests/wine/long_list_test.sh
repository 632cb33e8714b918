#!/usr/bin/env bash
# A list of 100,000 orders in the 32-bit Windows program under Wine, whose
# ledger reads are sized for a 32-bit address space: signed in, 查询 with no
# filter lists every order, and the list exported through the save dialog
# has every row and the totals line the window shows, its count and its sums
# those of the ledger. The program's peak memory (VmHWM of its process) and
# the address space it holds are printed as a note.
# Usage: long_list_test.sh WINDOWS_PROGRAM LINUX_ADMIN_TOOL
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
# shellcheck source=../support/order_list.sh
. "$here/../support/order_list.sh"
orders=100000

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
program_install "$1" "$root"
mkdir -p "$root/work"
(cd "$root/work" && "$2" init boss secret --demo "$orders" >/dev/null)
memory() { awk -v key="$1:" '$1 == key { print int($2 / 1024) }' "/proc/$pid/status"; }

program_start "$root/work"
program_window '^Tallovar$' >/dev/null
sign_in boss secret
main=$(program_window '^订单管理$')
check "signed in" yes "$([ -n "$main" ] && echo yes)"
[ -n "$main" ] || exit "$failures"
resident=$(memory VmRSS) mapped=$(memory VmSize)

query ""
export_list
check "the program still runs with the list shown" yes "$([ -e "/proc/$pid" ] && echo yes)"
check "every order listed and exported" "$orders" "$(exported_rows | wc -l)"
totals=$(tail -n 1 "$root/list.csv" | tr -d '\r')
check "the count the window shows" "记录：当前有${orders}单" "${totals%%  *}"
# The sums of 售价, 进价, 佣金 and 利润 in the totals line's own cells.
ledger_sums=$(sqlite3 -separator , "$root/work/tallovar.mdb" \
    'select sum(售价), sum(进价), sum(佣金), sum(利润) from 订单列表')
check "the totals are the ledger's" yes "$(awk -F, -v ledger="$ledger_sums" 'BEGIN {
        split(ledger, sums, ",")
        getline
        for (i = 1; i <= 4; i++) if ($(i + 6) - sums[i] > 0.005 || sums[i] - $(i + 6) > 0.005) exit 1
        print "yes"
    }' <<<"$totals" || echo "no: $totals against $ledger_sums")"
# Wine reserves much of the address space at start: what the list adds to it
# is the difference.
echo "note: $orders orders listed: peak memory $(memory VmHWM) MiB ($resident MiB before the" \
    "list); address space in use $(memory VmSize) MiB ($mapped MiB before)"
exit "$failures"
