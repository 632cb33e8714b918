#!/usr/bin/env bash
# 批量发货 with the real program under Xvfb on a 1024x768 screen, the ledger
# read back with sqlite3 after each round:
#  - 30 lines pasted from the clipboard, 3 of them bad, 全部发货, 是: the 27
#    orders shipped with today's date and nothing else in the ledger changed;
#    the tool lists the same 3 bad lines;
#  - a barcode scanner's speed: lines typed with no delay, each matched;
#  - a supplier's sheet in five actions: menu, 从表格读取…, the file, 全部发货, 是.
# Usage: ship_window_real_test.sh PROGRAM SEND_CLOSE ADMIN_TOOL COURIER_RULES
set -euo pipefail
program=$1
send_close=$2
admin=$3
rules=$4

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

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
program_install "$program" "$root"
cp "$rules" "$root/program/couriers.txt"
(cd "$root/work" && "$admin" init admin secret >/dev/null)
printf '[kuaidiinfo]\r\nkuaidi=中通快递#顺丰速运\r\n' | iconv -f utf-8 -t gbk >"$root/program/config.ini"
ledger_file=$root/work/tallovar.mdb
# 40 waiting orders N01..N40 (purchase numbers P01..P40) and one shipped.
for n in $(seq -w 1 40); do
    echo "insert into 订单列表(卖家账号,订单号,购买订单号,订单日期,商品名称,售价,进价,佣金,利润,备注)
          values('旗舰店','N$n','P$n','2020-1-$((10#$n % 28 + 1))','杯子 $n','30','20','1','11','');"
done | sqlite3 "$ledger_file"
sqlite3 "$ledger_file" "insert into 订单列表(订单号,快递公司,运单号,订单日期) values('N99','中通快递','7500','2020-2-2')"
today=$(date +%Y-%-m-%-d)
dump() { sqlite3 -separator '|' "$1" "select * from 订单列表 order by ID"; }
# The ledger as it should be: a copy with exactly the ships applied.
expect_ledger() {  # expect_ledger SQL...
    cp "$ledger_file" "$root/expected.mdb"
    sqlite3 "$root/expected.mdb" "$@"
}
ship_sql() {  # ship_sql NUMBER COURIER WAYBILL
    echo "update 订单列表 set 快递公司='$2',运单号='$3',订单日期='$today' where 订单号='$1';"
}

open_ship() {  # 批量发货… from the order list's pop-up menu; sets $ship
    at "$main" 300 180
    xdotool click 3
    sleep 0.5
    xdotool key --delay 100 Down Down Down Down Down Down Down Down Return
    ship=$(program_window '^批量发货$')
}
text_area() {  # the text area focused and emptied
    at "$ship" 400 100
    xdotool click 1 key ctrl+a Delete
}
ship_all() {  # 全部发货, then 是 in the question
    at "$ship" 800 536
    xdotool click 1
    answer '^提示$'
}

program_start "$root/work"
program_window '^Tallovar$' >/dev/null
sign_in admin secret
main=$(program_window '^订单管理$')
open_ship
check "批量发货 opened from the menu" yes "$([ -n "$ship" ] && echo yes || echo no)"

# Round 1: 30 lines pasted, tab, comma and space separated, by order number
# and purchase order number; line 9 finds no order, line 17 repeats line 1's
# order, line 30's waybill fits two couriers.
lines=""
sql=""
for n in $(seq -w 1 30); do
    case $n in
    09) lines+=$'ZZ09 SF9000000009\n' ;;
    17) lines+=$'P01,SF1700000017\n' ;;
    30) lines+=$'N30\t434567890123456\n' ;;
    0[2468] | 1[02468]) # purchase numbers, with a 中通 number and its courier given
        lines+="P$n	75000000000$n	中通快递"$'\n'
        sql+=$(ship_sql "N$n" 中通快递 "75000000000$n") ;;
    *)
        lines+="N$n SF00000000$n"$'\n'
        sql+=$(ship_sql "N$n" 顺丰速运 "SF00000000$n") ;;
    esac
done
printf '%s' "$lines" >"$root/pasted.txt"
preview=$(cd "$root/work" && "$admin" ship --dry-run "$root/pasted.txt" || true)
check "the tool lists the 3 bad lines" "9	ZZ09		找不到订单
17	P01	1	本批重复
30	N30	30	缺快递公司（可能是 申通、韵达）" "$(echo "$preview" | grep -v '可发货' | sed -n '2,4p' | cut -f1-4)"
check "the tool counts them" "共 30 行：可发货 27 行，缺快递公司 1 行，本批重复 1 行，找不到订单 1 行" \
    "$(echo "$preview" | grep '^共')"

expect_ledger "$sql"
printf '%s' "$lines" | xclip -selection clipboard
text_area
xdotool key ctrl+v
sleep 1
# TALLOVAR_SCREENSHOT=file.png keeps a picture of the preview.
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
ship_all
answer '^提示$'  # 已发货 27 张订单；…
check "27 orders shipped with today's date, nothing else changed" "$(dump "$root/expected.mdb")" \
    "$(dump "$ledger_file")"
check "27 shipped" 27 "$(sqlite3 "$ledger_file" "select count(*) from 订单列表 where 订单日期='$today'")"

# Round 2: a scanner types five lines as fast as X takes keys.
expect_ledger "$(for n in 31 32 33 34 35; do ship_sql "N$n" 极兔 "JT00000000$n"; done)"
text_area
for n in 31 32 33 34 35; do  # a scanner ends each code with Enter
    xdotool type --delay 0 "$(printf 'N%s\tJT00000000%s' "$n" "$n")"
    xdotool key --delay 0 Return
done
sleep 1
ship_all
answer '^提示$'
check "each scanned line matched and shipped" "$(dump "$root/expected.mdb")" "$(dump "$ledger_file")"

# Round 3: a supplier's sheet, counting the user's actions from a closed window.
"$send_close" "$ship"
program_window_gone '^批量发货$'
printf '\xEF\xBB\xBF供应商发货单,,\n订单编号,商品名称,快递单号,物流公司\nN36,杯子,YT0000000036,\nP37,杯子,="DPK0000000037",\nN38,杯子,'"'"'75000000000038,中通快递\n' \
    >"$root/supplier.csv"
expect_ledger "$(ship_sql N36 圆通 YT0000000036; ship_sql N37 德邦 DPK0000000037
    ship_sql N38 中通快递 75000000000038)"
actions=0
open_ship
actions=$((actions + 1))
at "$ship" 60 536
xdotool click 1
actions=$((actions + 1))
dialog=$(program_window '^从表格读取$')
[ -z "$dialog" ] || xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 20 "$root/supplier.csv"
xdotool key Return
actions=$((actions + 1))
program_window_gone '^从表格读取$'
sleep 1
at "$ship" 800 536
xdotool click 1
actions=$((actions + 1))
answer '^提示$'
actions=$((actions + 1))
answer '^提示$'  # 已发货 3 张订单；…
check "the sheet's orders shipped in $actions actions" "$(dump "$root/expected.mdb")" "$(dump "$ledger_file")"
check "five actions" 5 "$actions"

kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ "$failures" -eq 0 ]
