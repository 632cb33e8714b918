#!/usr/bin/env bash
# The real program under Xvfb on a 1024x768 screen: sign in on a ledger of 30
# demo orders, list the waiting ones, open 打印… from the list's pop-up menu,
# choose 发货单 on 76×130 labels, and grab the preview: it shows a page, and
# the barcode a reader finds on the screen is a waiting order's number.
# Usage: print_preview_test.sh PROGRAM ADMIN_TOOL
set -euo pipefail
program=$1
admin=$2

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
# shellcheck source=../support/print_window.sh
. "$(dirname "$0")/../support/print_window.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
program_install "$program" "$root"
(cd "$root/work" && "$admin" init admin secret --demo 30 >/dev/null)
waiting=$(sqlite3 "$root/work/tallovar.mdb" "select 订单号 from 订单列表 where 快递公司='' and 运单号='' order by 订单号")

program_start "$root/work"
open_print_window_of_waiting
check "main window open" yes "$([ -n "$main" ] && echo yes || echo no)"
check "print window open" yes "$([ -n "$window" ] && echo yes || echo no)"
# The form chooser has the focus: the last form, then the label paper.
xdotool windowfocus --sync "$window" key End Tab End
# Grabbed until a barcode is read, for a machine too busy to redraw at once.
found=""
for _ in $(seq 8); do
    sleep 1
    import -window "$window" "$root/preview.png"
    found=$(zbarimg -q --raw "$root/preview.png" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && break
done
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then cp "$root/preview.png" "$TALLOVAR_SCREENSHOT"; fi
# The preview shows a page: black on white over part of the window.
dark=$(convert "$root/preview.png" -colorspace Gray -threshold 40% -format "%[fx:mean<0.995]" info:)
check "the preview shows a page with print on it" 1 "$dark"
check "the barcode on the screen is a waiting order's number" yes \
    "$(grep -qxF -- "${found:-none}" <<<"$waiting" && echo yes || echo "${found:-nothing read}")"
exit "$failures"
