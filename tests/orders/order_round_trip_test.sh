#!/usr/bin/env bash
# A day's work with the real program under Xvfb on a 1024x768 screen: sign in,
# add two orders through the editor (sellers from the pick list, the profit
# worked out as the prices are typed), query and export the list with its
# totals, then modify one, ship it with an express company from the list, and
# delete the other. The ledger is read back with sqlite3 after each step.
# Usage: order_round_trip_test.sh PROGRAM SEND_CLOSE ADMIN_TOOL (PROGRAM: the
# Linux program, or the Windows one, tallovar.exe, under Wine)
set -euo pipefail
program=$1
send_close=$2
admin=$3

if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
# shellcheck source=../support/sign_in.sh
. "$(dirname "$0")/../support/sign_in.sh"
# shellcheck source=../support/program.sh
. "$(dirname "$0")/../support/program.sh"
# shellcheck source=../support/order_list.sh
. "$(dirname "$0")/../support/order_list.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
program_install "$program" "$root"
(cd "$root/work" && "$admin" init admin secret >/dev/null)
# The pick lists, GBK with Windows line ends as the user keeps them.
printf '[zhanghaoinfo]\r\nzhanghao=旗舰店|二店\r\n[kuaidiinfo]\r\nkuaidi=中通快递#顺丰\r\n' |
    iconv -f utf-8 -t gbk >"$root/program/config.ini"

ledger() {  # the ledger's orders, one a line
    sqlite3 -separator ' ' "$root/work/tallovar.mdb" \
        "select 订单号,卖家账号,快递公司,运单号,订单日期,售价,进价,佣金,利润 from 订单列表 order by 订单号"
}

program_start "$root/work"
program_window '^Tallovar$' >/dev/null
sign_in admin secret
main=$(program_window '^订单管理$')
check "main window after signing in" yes "$([ -n "$main" ] && echo yes || echo no)"

# Two orders through one editor: it empties itself after each.
open_editor
check "editor opened for adding" yes "$([ -n "$editor" ] && echo yes || echo no)"
add_order 1 A-1001 2024-1-5 30 20 1.5
add_order 2 A-1002 2024-2-9 12 5 0
check "orders added, the profit worked out" "A-1001 旗舰店   2024-1-5 30 20 1.5 11.5
A-1002 二店   2024-2-9 12 5 0 7" "$(ledger)"
"$send_close" "$editor"
program_window_gone '^添加订单$'

# The list and its totals line, as the export writes them.
query ""
export_list
check "save dialog shown" yes "$([ -n "$dialog" ] && echo yes || echo no)"
check "exported list, newest first" "二店,A-1002
旗舰店,A-1001" "$(exported_rows)"
check "exported totals" "记录：当前有2单  总售价：42元  总进价：25元  总佣金：1.5元  总利润：18.5元,,,,,,42,25,1.5,18.5,,,,," \
    "$(tail -n 1 "$root/list.csv" | tr -d '\r')"

# Modify, then ship, the older order; delete the newer one.
query A-1001
menu 4
editor=$(program_window '^修改订单$')
fill "$editor" 92 209 35
at "$editor" 352 325
xdotool click 1
answer '^提示$'
answer '^信息：$'
program_window_gone '^修改订单$'
menu 1
editor=$(program_window '^订单发货$')
pick "$editor" 451 43 1
fill "$editor" 629 43 ZT123456
at "$editor" 352 325
xdotool click 1
answer '^提示$'
answer '^信息：$'
program_window_gone '^订单发货$'
query A-1002
menu 5
answer '^提示$'
sleep 1
# Shipping stores the day of shipping as the order date.
check "one order modified and shipped, the other deleted" \
    "A-1001 旗舰店 中通快递 ZT123456 $(date +%Y-%-m-%-d) 35 20 1.5 16.5" "$(ledger)"
check "the deleted order in the recycle bin" A-1002 \
    "$(sqlite3 "$root/work/tallovar.mdb" 'select 订单号 from 回收站')"
# The day's list exported again over the first export.
query ""
export_list
check "export written over the earlier one" "旗舰店,A-1001" "$(exported_rows)"
# And under the name the dialog suggests, a Chinese one, beside the ledger.
export_list suggested
check "export under the suggested name" 1 "$(find "$root/work" -name '订单-????????-??????.xlsx' | wc -l)"
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
exit "$failures"
