#!/usr/bin/env bash
# A new Windows user's first start from the Start menu and first day, under
# Wine and Xvfb: tallovar-start.exe, with no ledger in the ledger folder (a
# Chinese name, 账本), opens "新建账本" (tallovar-admin setup); the typed user,
# password and seller make an SQLite ledger, the day's backup is taken, the
# program starts in that folder and opens the ledger through the SQLite
# driver's own name, and the user signs in. In the program the user then adds
# an order and sees it listed with its totals, opens 统计… and sees its bar,
# deletes the order and restores it from 回收站…; the ledger is read back with
# sqlite3 after each step.
# Usage: first_run_test.sh WINDOWS_PROGRAM SEND_CLOSE (tallovar-admin.exe and
# tallovar-start.exe lie beside the program)
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
send_close=$2

root=$(mktemp -d)
pid=""
# The launcher has ended by itself when all went well.
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; program_end; rm -rf "$root"' EXIT
program_install "$1" "$root"
# The tool and the launcher beside the program, as the installer puts them.
cp "$(dirname "$1")/tallovar-admin.exe" "$(dirname "$1")/tallovar-start.exe" "$root/program/"
ledgers="$root/账本"
TALLOVAR_LEDGER_DIR="Z:${ledgers//\//\\}"
export TALLOVAR_LEDGER_DIR

(LC_ALL=zh_CN.UTF-8 exec "$wine_loader" "$root/program/tallovar-start.exe") &
pid=$!
# window_named NAME: a visible window of that title in any process (the
# launcher, tallovar-admin and the program are three), waiting up to 60 s.
window_named() {
    local found=""
    for _ in $(seq 300); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    echo "$found"
}
setup=$(window_named '^新建账本$')
check "first-run window shown" yes "$([ -n "$setup" ] && echo yes)"
xdotool windowfocus --sync "$setup"
xdotool type --delay 50 boss
xdotool key Tab
xdotool type --delay 50 secret
xdotool key Tab
xdotool type --delay 50 secret
xdotool key Tab
xdotool type --delay 80 shop-A
xdotool key Tab Tab space

login=$(window_named '^Tallovar$')
[ -n "${TALLOVAR_SHOT:-}" ] && import -window root "$TALLOVAR_SHOT"
check "program started after the ledger was made" yes "$([ -n "$login" ] && echo yes)"
check "SQLite ledger in the ledger folder" "SQLite format 3" "$(head -c 15 "$ledgers/tallovar.mdb" 2>/dev/null)"
check "the day's backup taken, of the new ledger" boss \
    "$(sqlite3 "$ledgers/备份/tallovar-$(date +%Y%m%d).mdb" 'select username from sysuser' 2>&1)"
sign_in boss secret
main=$(window_named '^订单管理$')
check "signed in" yes "$([ -n "$main" ] && echo yes)"
[ -n "$main" ] || exit "$failures"
# The launcher has ended; from here the program's helpers find the program's
# windows by its process.
pid=$(xdotool getwindowpid "$main")
ledger() {  # the orders of the ledger, or of its TABLE, one a line
    sqlite3 -separator ' ' "$ledgers/tallovar.mdb" \
        "select 订单号,卖家账号,订单日期,商品名称,售价,进价,佣金,利润 from ${1:-订单列表}"
}

open_editor
add_order 1 A-1001 2024-1-5 30 20 1.5
order="A-1001 shop-A 2024-1-5  30 20 1.5 11.5"
check "order added through the editor" "$order" "$(ledger)"
"$send_close" "$editor"
program_window_gone '^添加订单$'
query ""
export_list
check "listed with its count and totals" \
    "记录：当前有1单  总售价：30元  总进价：20元  总佣金：1.5元  总利润：11.5元" \
    "$(tail -n 1 "$root/list.csv" | cut -d, -f1)"
check "listed" "shop-A,A-1001" "$(exported_rows)"

# 统计: the order's one bar of 总利润, in the chart's own colour, far more of
# it than the legend's sample of that colour.
menu_end 2
summary=$(program_window '^统计$')
bar=""
if [ -n "$summary" ]; then
    sleep 2
    import -window "$summary" "$root/summary.png"
    bar=$(convert "$root/summary.png" -format %c histogram:info:- | sed -n 's/^ *\([0-9]*\):.*#2E7D32.*/\1/p')
fi
check "统计 draws the order's bar" yes "$([ "${bar:-0}" -gt 2000 ] && echo yes || echo "no: ${bar:-0} pixels")"
"$send_close" "$summary"
program_window_gone '^统计$'

# Deleted, then restored from 回收站: the first entry chosen, 恢复.
menu 5
answer '^提示$'
sleep 1
check "deleted into the recycle bin" "|$order" "$(ledger)|$(ledger 回收站)"
menu_end 1
bin=$(program_window '^回收站$')
check "回收站 opened" yes "$([ -n "$bin" ] && echo yes)"
[ -n "$bin" ] || exit "$failures"
at "$bin" 100 75
xdotool click 1
at "$bin" 709 375  # 恢复, at its lower right
xdotool click 1
# The box saying so has the bin's title: Enter in the other window of it.
others() { xdotool search --all --onlyvisible --pid "$pid" --name '^回收站$' 2>/dev/null | grep -vx "$bin"; }
box=""
for _ in $(seq 100); do
    box=$(others | head -n 1 || true)
    [ -n "$box" ] && break
    sleep 0.2
done
sleep 0.5
[ -z "$box" ] || xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do others >/dev/null || break; sleep 0.2; done
check "restoring said so, and the box closed" "yes|" "$([ -n "$box" ] && echo yes)|$(others)"
check "restored from the recycle bin with its texts" "$order|" "$(ledger)|$(ledger 回收站)"
# And listed again in the order list, which the bin asked to search again.
"$send_close" "$bin"
program_window_gone '^回收站$'
rm "$root/list.csv"  # so that only this export can pass
export_list
check "listed again after restoring" "shop-A,A-1001" "$(exported_rows)"
exit "$failures"
