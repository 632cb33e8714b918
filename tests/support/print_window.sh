# Sourced by the shell tests of the 打印… window, after program.sh and
# sign_in.sh; the Linux program or the Windows one.
# open_print_window_of_waiting: signs in to the started program as admin
# (password secret), lists the waiting orders (等待发货) and opens 打印… from
# the list's pop-up menu. Sets $main and $window, the main window and the
# print window, each empty when it did not open.
open_print_window_of_waiting() {
    window=""
    program_window '^Tallovar$' >/dev/null
    sign_in admin secret
    main=$(program_window '^订单管理$')
    [ -n "$main" ] || return 0
    at "$main" 792 60 # 等待发货
    xdotool click 1
    sleep 1
    # The pop-up menu: five designed items, the separator, 导出到 Excel…,
    # 从表格导入…, 批量发货…, 打印…. On a busy machine the keys may come
    # before the menu is up: then again.
    for _ in 1 2 3; do
        at "$main" 400 330
        xdotool click 3
        sleep 1
        xdotool key --delay 100 Down Down Down Down Down Down Down Down Down Return
        window=$(program_window '^打印$')
        [ -n "$window" ] && return 0
        xdotool key Escape
    done
}
