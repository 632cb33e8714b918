#!/usr/bin/env bash
# A start from the menu on a plain X session (Xvfb and openbox; xmessage is
# the desktop's only notifier there) on a day whose backup fails: the
# installed launcher starts the program anyway, and the warning reads Chinese
# in a window that stays above the login window, also after the user clicks
# the login window.
# Usage: backup_notice_test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2

# shellcheck source=../support/desktop.sh
. "$(dirname "$0")/../support/desktop.sh" "$@"
# stacked_above UPPER LOWER: yes when the window manager stacks UPPER above LOWER
stacked_above() {
    local order upper lower
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | cut -d'#' -f2 | tr -d ' ' | tr ',' '\n')
    upper=$(grep -nx "$(printf '0x%x' "$1")" <<<"$order" | cut -d: -f1)
    lower=$(grep -nx "$(printf '0x%x' "$2")" <<<"$order" | cut -d: -f1)
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ] && echo yes || echo no
}

root=$(mktemp -d)
pid=""
notice_pid=""
openbox --config-file /dev/null >/dev/null 2>&1 &
wm=$!
trap 'for p in $pid $notice_pid $wm; do kill "$p" 2>/dev/null; done; rm -rf "$root"' EXIT
until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.1; done
"$cmake" --install "$build" --prefix "$root/prefix" >/dev/null
unset TALLOVAR_LEDGER_DIR XDG_CONFIG_HOME XDG_DATA_HOME
export HOME="$root/home"
mkdir -p "$HOME/Tallovar"
(cd "$HOME/Tallovar" && "$root/prefix/lib/tallovar/tallovar-admin" init admin secret >/dev/null)
# A file where the backups' folder belongs: today's backup cannot be made.
touch "$HOME/Tallovar/备份"
"$root/prefix/bin/tallovar" 2>/dev/null &
pid=$!

login=$(find_window '^Tallovar$')
notice=$(find_window '^Tallovar 备份$')
check "program started" yes "$([ -n "$login" ] && echo yes || echo no)"
check "warning shown" yes "$([ -n "$notice" ] && echo yes || echo no)"
[ -n "$login" ] && [ -n "$notice" ] || exit "$failures"
notice_pid=$(xdotool getwindowpid "$notice" 2>/dev/null || true)
sleep 1  # both taken on by the window manager
check "warning above the login window" yes "$(stacked_above "$notice" "$login")"
xdotool windowactivate --sync "$login" 2>/dev/null || xdotool windowraise "$login"
sleep 0.5
check "warning above the login window after a click on it" yes "$(stacked_above "$notice" "$login")"

# The warning's text, as the message box copies it with Ctrl+C.
xdotool windowactivate --sync "$notice" 2>/dev/null || true
xdotool key ctrl+c
sleep 0.5
text=$(timeout 5 xclip -o -selection clipboard 2>/dev/null || true)
check "warning in Chinese" yes \
    "$(grep -q '今天的自动备份没有完成，程序照常启动。' <<<"$text" && echo yes || echo "$text")"
check "the cause in Chinese" yes "$(grep -q '每日备份失败' <<<"$text" && echo yes || echo "$text")"
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
exit "$failures"
