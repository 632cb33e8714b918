# Sourced after program.sh by the shell tests that work in the real program's
# order list ($main, the window 订单管理) and its editor ($editor), on the
# 1024x768 screen. Places are of the windows' insides.
# fill WINDOW X Y TEXT: replaces the text of the box at that point.
# pick WINDOW X Y N: the Nth item of the drop-down list at that point.
# menu N: the Nth item of the list's pop-up menu, at a point on the first row.
# menu_end N: the Nth item from the end of that menu (统计… 2, 回收站… 1),
#   wherever the items before them stand.
# query ORDER_NUMBER: lists the orders of that number (all when empty).
# open_editor: 添加 from the pop-up menu of the list's empty area; sets $editor.
# add_order SELLER_ITEM NUMBER DATE PRICE COST COMMISSION: one order through
#   $editor, saved, its two boxes answered.
# export_list [suggested]: the list shown, through the save dialog, to
#   $root/list.csv, or under the name the dialog suggests; sets $dialog.
# exported_rows: seller and number of each order exported, between the
#   heading and the totals line.

fill() {
    at "$1" "$2" "$3"
    xdotool click 1 key ctrl+a
    xdotool type --delay 40 "$4"
}

pick() {
    at "$1" "$2" "$3"
    xdotool click 1
    xdotool key --delay 100 $(printf 'Down %.0s' $(seq "$4"))
}

popup() {  # popup KEY N: the menu at the first row, KEY pressed N times, Return
    at "$main" 300 180
    xdotool click 3
    sleep 0.5
    xdotool key --delay 100 $(printf "$1 %.0s" $(seq "$2")) Return
}
menu() { popup Down "$1"; }
menu_end() { popup Up "$1"; }

query() {
    at "$main" 331 32
    xdotool click 1 key ctrl+a BackSpace
    [ -z "$1" ] || xdotool type --delay 40 "$1"
    at "$main" 792 25
    xdotool click 1
    sleep 1
}

open_editor() {
    at "$main" 400 330
    xdotool click 3
    sleep 0.5
    xdotool key --delay 100 Down Down Down Return
    editor=$(program_window '^添加订单$')
}

add_order() {
    pick "$editor" 114 42 "$1"
    fill "$editor" 277 43 "$2"
    fill "$editor" 629 69 "$3"
    fill "$editor" 92 209 "$4"
    fill "$editor" 193 210 "$5"
    fill "$editor" 296 210 "$6"
    at "$editor" 234 325
    xdotool click 1
    answer '^提示$'
    answer '^信息：$'
}

type_list_path() {  # the name $root/list.csv typed into the save dialog
    if program_is_windows; then
        # A Windows dialog gives a typed name the chosen type's extension: the
        # CSV type is chosen first (the box after the name), then the name typed
        # in place of the suggested one, which is not selected there.
        xdotool key Tab Down shift+Tab End shift+Home Delete
        xdotool type --delay 40 "Z:${root//\//\\}\\list.csv"
    else
        xdotool type --delay 40 "$root/list.csv"
    fi
}

export_list() {
    local replacing=no
    [ -e "$root/list.csv" ] && [ -z "${1:-}" ] && replacing=yes
    at "$main" 400 330
    xdotool click 3
    sleep 0.5
    xdotool key --delay 100 Down Down Down Down Down Down Return
    dialog=$(program_window '^导出到 Excel$')
    [ -z "$dialog" ] || xdotool windowfocus --sync "$dialog"
    sleep 0.5
    [ -n "${1:-}" ] || type_list_path
    xdotool key Return
    if [ "$replacing" = yes ]; then
        # The dialog asks before replacing the file, in a box of its own title
        # (Qt's and Windows' alike); a key pressed before the box is there is lost.
        for _ in $(seq 150); do
            [ "$(xdotool search --all --onlyvisible --pid "$pid" --name '^导出到 Excel$' \
                2>/dev/null | wc -l)" -ge 2 ] && break
            sleep 0.2
        done
        sleep 0.3
        xdotool key y
    fi
    answer '^信息：$'  # 已导出 N 张订单到 …
}

exported_rows() { sed '1d;$d' "$root/list.csv" | cut -d, -f2-3; }
