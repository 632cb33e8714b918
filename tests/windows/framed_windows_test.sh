#!/usr/bin/env bash
# The real program under Xvfb with openbox, a window manager that frames
# windows and reports the frame in _NET_FRAME_EXTENTS, on a 1024x768 screen:
# the outer frames of the three windows, Qt's own command-line options, and a
# double click on "登录" that must not reach the main window opening under it.
# Usage: framed_windows_test.sh PROGRAM ADMIN_TOOL
set -euo pipefail
if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"

# shellcheck source=../support/program.sh
. "$(dirname "$0")/../support/program.sh"

root=$(mktemp -d)
pid=""
openbox --config-file /dev/null >/dev/null 2>&1 &
wm=$!
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; kill "$wm" 2>/dev/null; rm -rf "$root"' EXIT
until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; do sleep 0.1; done
mkdir -p "$root/work"
program_install "$1" "$root"
(cd "$root/work" && "$2" init admin secret >/dev/null)
echo 'QWidget { background-color: #ff0000; }' >"$root/red.qss"

start() {  # start [ARGUMENT...]
    program_start "$root/work" "$@"
}
outer_frame() {  # outer_frame WINDOW -> "LEFT TOP WIDTH HEIGHT" of the frame around it
    local l r t b x y w h
    until xprop -id "$1" _NET_FRAME_EXTENTS | grep -q =; do sleep 0.1; done
    sleep 0.5  # the program places the window again for its frame
    IFS=', ' read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | cut -d= -f2)"
    read -r x y w h <<<"$(xwininfo -id "$1" | awk '/Absolute upper-left [XY]|Width|Height/{printf "%s ", $NF}')"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# Mirrored layout, another style, a red style sheet, another place and size.
start -reverse -style windows -stylesheet "$root/red.qss" -qwindowgeometry 200x120+0+0
login=$(program_window '^Tallovar$')
check "login window framed at its place, with Qt's options" "314 249 395 269" "$(outer_frame "$login")"
import -window "$login" "$root/with_options.png"
kill "$pid"
wait "$pid" || true
start
login=$(program_window '^Tallovar$')
check "login window framed at its place" "314 249 395 269" "$(outer_frame "$login")"
import -window "$login" "$root/plain.png"
# Only the blinking text cursor may differ.
differing=$(compare -metric AE "$root/plain.png" "$root/with_options.png" null: 2>&1 || true)
check "Qt's options change nothing" yes "$([ "${differing%% *}" -lt 50 ] && echo yes || echo "$differing")"

xdotool mousemove --window "$login" 216 88 click 1 type admin
xdotool mousemove --window "$login" 216 136 click 1 type secret
xdotool mousemove --window "$login" 208 180 click --repeat 2 --delay 250 1
main=$(program_window '^订单管理$')
check "main window framed at its place" "86 163 852 442" "$(outer_frame "$main")"
sleep 1
check "no message after a double click on 登录" "" \
    "$(xdotool search --all --onlyvisible --pid "$pid" --name '^信息：$' || true)"

# A right click in the empty list, then the third item, 添加.
xdotool mousemove --window "$main" 400 297 click 3
sleep 0.5
xdotool key Down Down Down Return
editor=$(program_window '^添加订单$')
check "editor framed at its place" "150 197 724 373" "$(outer_frame "$editor")"
if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
exit "$failures"
