#!/usr/bin/env bash
# The Windows build prints: tallovar-admin.exe print under Wine, without a
# display, on a ledger of 30 demo orders that the Linux tallovar-admin made.
# Wine sees only the Noto CJK fonts of this machine (wine_cjk_fonts_only): like
# a Windows PC, it has no WenQuanYi Micro Hei, so the pages use the font the
# build ships. Each form's pages read back as the Linux build's of the same
# ledger (the printing time aside), and a scanner reads every waiting order's
# number from the slips.
# Usage: print_test.sh WINDOWS_PROGRAM ADMIN_TOOL PDF_READ (tallovar-admin.exe
# lies beside WINDOWS_PROGRAM; PDF_READ is tests/print's pdf_read)
set -euo pipefail
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=wine_prefix.sh
. "$here/wine_prefix.sh"
windows_admin="$(dirname "$1")/tallovar-admin.exe"
admin=$2
pdf_read=$3

root=$(mktemp -d)
trap 'wine_prefix_end; rm -rf "$root"' EXIT
# An ASCII ledger folder: what is tried here is the printing.
mkdir -p "$root/windows" "$root/linux"
(cd "$root/windows" && "$admin" init admin secret --demo 30 >/dev/null)
cp "$root/windows/tallovar.mdb" "$root/linux/"
waiting=$(sqlite3 "$root/windows/tallovar.mdb" \
    "select 'CODE-128:' || 订单号 from 订单列表 where 快递公司='' and 运单号='' order by 1")

# name, arguments, page size
cases=(
    "发货单|--form 发货单 --waiting|210 x 297"
    "订单列表|--form 订单列表|297 x 210"
    "拿货单|--form 拿货单 --waiting|210 x 297"
)
# The Linux build's pages first: the Wine prefix's ODBC set-up is 32-bit.
for entry in "${cases[@]}"; do
    IFS='|' read -r name arguments _ <<<"$entry"
    # shellcheck disable=SC2086 # the arguments are words
    (cd "$root/linux" && env -u DISPLAY "$admin" print $arguments --output "$name.pdf" 2>&1) >/dev/null
done

wine_prefix_start "$root/wine" "${TALLOVAR_WINE_ODBC_DRIVER:-unused}"
wine_cjk_fonts_only "$root/fonts"
# windows_print ARGUMENT...: what tallovar-admin.exe print said.
windows_print() {
    (cd "$root/windows" && env -u DISPLAY LC_ALL=zh_CN.UTF-8 \
        "$wine_loader" "$windows_admin" print "$@" 2>&1 | tr -d '\r') || true
}

# The pages' text without the printing time, which may differ by a minute,
# and without spaces and line breaks: the glyphs' places differ by a fraction
# of a point between Windows' font engine and Linux's, which pdftotext may
# take as another line.
text() {
    "$pdf_read" text "$1" | grep -vE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}$' | tr -d ' \n' || true
}

# differing EXPECTED ACTUAL: ACTUAL from a little before where it differs.
differing() {
    local byte
    byte=$(cmp <(echo "$1") <(echo "$2") | sed -n 's/.* byte \([0-9]*\),.*/\1/p')
    echo "…$(echo "$2" | tail -c +$((${byte:-1} > 30 ? ${byte:-1} - 30 : 1)) | head -c 120)…"
}

for entry in "${cases[@]}"; do
    IFS='|' read -r name arguments size <<<"$entry"
    # shellcheck disable=SC2086 # the arguments are words
    said=$(windows_print $arguments --output "$name.pdf")
    pdf="$root/windows/$name.pdf"
    check "$name: tallovar-admin.exe says it printed" yes \
        "$(grep -q '^已打印' <<<"$said" && echo yes || echo "$said")"
    check "$name: page size" "$size" "$("$pdf_read" size "$pdf")"
    check "$name: pages as the Linux build's" "$("$pdf_read" pages "$root/linux/$name.pdf")" \
        "$("$pdf_read" pages "$pdf")"
    # Chinese copied out of the PDF as printed: a font whose ideographs share
    # glyphs with the Kangxi radicals reads 木子 back as ⽊⼦.
    linux_text=$(text "$root/linux/$name.pdf")
    windows_text=$(text "$pdf")
    if [ -n "$linux_text" ] && [ "$windows_text" = "$linux_text" ]; then
        check "$name: text as the Linux build's" yes yes
    else
        check "$name: text as the Linux build's" yes "$(differing "$linux_text" "$windows_text")"
    fi
    check "$name: every font embedded" 0 \
        "$(pdffonts "$pdf" 2>/dev/null | tail -n +3 | awk '{print $(NF-4)}' | grep -vc yes || true)"
done
check "slips: barcodes of the waiting orders" "$waiting" \
    "$("$pdf_read" barcodes "$root/windows/发货单.pdf")"
exit "$failures"
