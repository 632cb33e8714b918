#!/usr/bin/env bash
# The Windows program's 打印… window under Wine and Xvfb saves a PDF: sign in
# on a ledger of 30 demo orders, list the waiting ones, open 打印… from the
# list's pop-up menu, choose 发货单 and 保存为 PDF… through Windows' save
# dialog. The file holds every waiting order's slip: a scanner reads each
# number, and each seller's name copies out as typed (Wine sees no WenQuanYi
# Micro Hei, as on a Windows PC: the window prints with the font the build
# ships).
# Usage: print_window_test.sh WINDOWS_PROGRAM ADMIN_TOOL PDF_READ
set -euo pipefail
program=$1
admin=$2
pdf_read=$3
here=$(dirname "$0")
# shellcheck source=../support/desktop.sh
. "$here/../support/desktop.sh" "$@"
# The Windows program's own platform, whatever the caller chose for Linux ones.
unset QT_QPA_PLATFORM
# shellcheck source=../support/sign_in.sh
. "$here/../support/sign_in.sh"
# shellcheck source=../support/program.sh
. "$here/../support/program.sh"
# shellcheck source=../support/print_window.sh
. "$here/../support/print_window.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
(cd "$root/work" && "$admin" init admin secret --demo 30 >/dev/null)
waiting=$(sqlite3 "$root/work/tallovar.mdb" \
    "select 'CODE-128:' || 订单号 from 订单列表 where 快递公司='' and 运单号='' order by 1")
sellers=$(sqlite3 "$root/work/tallovar.mdb" \
    "select distinct 卖家账号 from 订单列表 where 快递公司='' and 运单号='' order by 1")
program_install "$program" "$root"
wine_cjk_fonts_only "$root/fonts"

program_start "$root/work"
open_print_window_of_waiting
check "main window open" yes "$([ -n "$main" ] && echo yes || echo no)"
check "print window open" yes "$([ -n "$window" ] && echo yes || echo no)"
# The form chooser has the focus: the last form, then 保存为 PDF…, after the
# paper chooser and 打印….
xdotool windowfocus --sync "$window" key End
sleep 1
xdotool key --delay 200 Tab Tab Tab space
dialog=$(program_window '^保存为 PDF$')
check "save dialog shown" yes "$([ -n "$dialog" ] && echo yes || echo no)"
[ -z "$dialog" ] || xdotool windowfocus --sync "$dialog"
sleep 0.5
# The suggested name is not selected in a Windows dialog: replaced.
xdotool key End shift+Home Delete
xdotool type --delay 40 "Z:${root//\//\\}\\slips.pdf"
xdotool key Return
answer '^信息：$' # 已保存到 …

pdf="$root/slips.pdf"
check "PDF saved" yes "$([ -s "$pdf" ] && echo yes || echo no)"
check "barcodes of the waiting orders" "$waiting" "$("$pdf_read" barcodes "$pdf" 2>/dev/null)"
text=$("$pdf_read" text "$pdf" 2>/dev/null | tr -d ' \n')
missing=""
while read -r seller; do
    seller=${seller// /}
    grep -qF -- "$seller" <<<"$text" || missing+="$seller "
done <<<"$sellers"
check "every seller's name copies out as printed" "" "$missing"
exit "$failures"
