#!/usr/bin/env bash
# 从表格导入 with the real program under Xvfb on a 1024x768 screen: a
# 拼多多 export chosen from the order list's pop-up menu, one mapping line
# changed (卖家账号 a fixed text), 预览, 导入 and 是 for the refused row; the
# ledger read back with sqlite3, and the same file imported again adds
# nothing.
# Usage: import_window_real_test.sh PROGRAM ADMIN_TOOL PRESET_FOLDER
set -euo pipefail
program=$1
admin=$2
presets=$3

# shellcheck source=../support/desktop.sh
. "$(dirname "$0")/../support/desktop.sh" "$@"
# shellcheck source=../support/sign_in.sh
. "$(dirname "$0")/../support/sign_in.sh"
# shellcheck source=../support/program.sh
. "$(dirname "$0")/../support/program.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
program_install "$program" "$root"
cp -r "$presets" "$root/program/import_presets"
(cd "$root/work" && "$admin" init admin secret >/dev/null)
ledger_file=$root/work/tallovar.mdb
printf '\xEF\xBB\xBF商品,订单号,订单状态,用户实付金额(元),快递单号,快递公司,订单成交时间\n"\t杯子","\t261102-000000000000001","\t已发货","\t18.50","\tYT1","\t圆通快递","\t2026-11-02 10:00:00"\n"\t杯子","\t261102-000000000000001","\t已发货","\t18.50","\tYT1","\t圆通快递","\t2026-11-02 10:00:00"\n"\t碗","\t261103-000000000000002","\t待发货","\t面议",,,"\t2026-11-03 10:00:00"\n"\t盘","\t261103-000000000000003","\t待发货","\t￥1,299.00",,,"\t2026-11-03 11:00:00"\n' \
    >"$root/orders_export.csv"


program_start "$root/work"
program_window '^Tallovar$' >/dev/null
sign_in admin secret
main=$(program_window '^订单管理$')
at "$main" 300 180
xdotool click 3
sleep 0.5
xdotool key --delay 100 Down Down Down Down Down Down Down Return
window=$(program_window '^从表格导入$')
check "从表格导入 opened from the menu" yes "$([ -n "$window" ] && echo yes || echo no)"

# The file, by the open dialog.
at "$window" 857 22
xdotool click 1
dialog=$(program_window '^选择要导入的表格$')
[ -z "$dialog" ] || xdotool windowfocus --sync "$dialog"
sleep 0.5
xdotool type --delay 20 "$root/orders_export.csv"
xdotool key Return
program_window_gone '^选择要导入的表格$'
sleep 1
# One mapping line changed: 卖家账号, which the file does not name, a fixed text.
at "$window" 518 109
xdotool click 1 key ctrl+a
xdotool type --delay 20 '"拼店"'
xdotool key Tab
# 预览, then 导入: 是 for the refused row, then the count.
at "$window" 34 658
xdotool click 1
sleep 1
# TALLOVAR_SCREENSHOT=file.png keeps a picture of the preview.
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
check "nothing stored by the preview" 0 "$(sqlite3 "$ledger_file" "select count(*) from 订单列表")"
at "$window" 925 658
xdotool click 1
answer '^提示$'
answer '^提示$'
rows="拼店|261102-000000000000001|圆通快递|YT1|2026-11-2|杯子|18.50|已发货
拼店|261103-000000000000003|||2026-11-3|盘|1299.00|待发货"
read_back() {
    sqlite3 -separator '|' "$ledger_file" \
        "select 卖家账号,订单号,快递公司,运单号,订单日期,商品名称,售价,备注 from 订单列表 order by 订单号"
}
check "the new orders stored whole, the repeat and the refused row left out" "$rows" "$(read_back)"
at "$window" 925 658
xdotool click 1
answer '^提示$'
answer '^提示$'
check "the same file again adds nothing" "$rows" "$(read_back)"

kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ "$failures" -eq 0 ]
