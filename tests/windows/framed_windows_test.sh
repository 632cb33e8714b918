#!/usr/bin/env bash
# Runs the real program under Xvfb with openbox, a window manager that frames
# windows and reports the frame in _NET_FRAME_EXTENTS, on a 1024x768 screen.
# Checks the outer frame of the three windows (size and place), that Qt's own
# command-line options change nothing, and that a double click on "登录"
# signs in without a message in the main window.
# Usage: framed_windows_test.sh PROGRAM ADMIN_TOOL
set -euo pipefail
program=$1
admin=$2

if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb

root=$(mktemp -d)
pid=""
openbox --config-file /dev/null >/dev/null 2>&1 &
wm=$!
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; kill "$wm" 2>/dev/null; rm -rf "$root"' EXIT
for _ in $(seq 50); do  # until the window manager has taken the screen
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && break
    sleep 0.1
done
mkdir -p "$root/program" "$root/work"
cp "$program" "$root/program/tallovar"
(cd "$root/work" && "$admin" init admin secret >/dev/null)
# A look that would make every window red, were the option read.
echo 'QWidget { background-color: #ff0000; }' >"$root/red.qss"

# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"

find_window() {  # find_window NAME -> window id of the program's visible window
    timeout 20 xdotool search --all --sync --onlyvisible --pid "$pid" --name "$1" | head -n 1
}

# The outer frame as "LEFT TOP WIDTH HEIGHT": the window's own geometry
# widened by the frame the window manager reports around it.
outer_frame() {  # outer_frame WINDOW
    local x y w h extents
    for _ in $(seq 50); do
        extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9, ]*$' || true)
        [ -n "$extents" ] && break
        sleep 0.1
    done
    sleep 0.5  # the program places the window again for the frame
    IFS=', ' read -r left right top bottom <<<"${extents:-0, 0, 0, 0}"
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/{print "x=" $4}
        /Absolute upper-left Y/{print "y=" $4} /Width:/{print "w=" $2} /Height:/{print "h=" $2}')"
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

start() {  # start [ARGUMENT...]: the program in the ledger's directory
    (cd "$root/work" && exec "$root/program/tallovar" "$@") &
    pid=$!
}

# The login window as it looks: its outer frame's place and the client area.
login_look() {  # login_look IMAGE
    login=$(find_window '^Tallovar$')
    frame=$(outer_frame "$login")
    read -r left top width height <<<"$frame"
    import -window root -crop "$((width - 2))x$((height - 21))+$((left + 1))+$((top + 20))" "$1"
}

# Qt's options for a mirrored layout, another style, a red style sheet and
# another place and size of the first window.
start -reverse -style windows -stylesheet "$root/red.qss" -qwindowgeometry 200x120+0+0
login_look "$root/with_options.png"
kill "$pid"
wait "$pid" 2>/dev/null || true
start
login_look "$root/plain.png"
check "login window framed at its design place" "314 249 395 269" "$frame"
# Only the blinking text cursor may differ.
differing=$(compare -metric AE "$root/plain.png" "$root/with_options.png" null: 2>&1 || true)
check "Qt's options on the command line change nothing" yes \
    "$([ "${differing%% *}" -lt 50 ] 2>/dev/null && echo yes || echo "no ($differing pixels differ)")"

eval "$(xwininfo -id "$login" | awk '/Absolute upper-left X/{print "cx=" $4}
    /Absolute upper-left Y/{print "cy=" $4}')"
xdotool mousemove $((cx + 128 + 88)) $((cy + 72 + 16)) click 1 type admin
xdotool mousemove $((cx + 128 + 88)) $((cy + 120 + 16)) click 1 type secret
# A double click on "登录": the main window opens under the second click.
xdotool mousemove $((cx + 160 + 48)) $((cy + 168 + 12)) click --repeat 2 --delay 250 1
main=$(find_window '^订单管理$')
check "main window framed at its design place" "86 163 852 442" "$(outer_frame "$main")"
sleep 1
check "no message after a double click on the sign-in button" "" \
    "$(xdotool search --all --onlyvisible --pid "$pid" --name '^信息：$' || true)"

# A right click in the empty list, then the third item, 添加.
eval "$(xwininfo -id "$main" | awk '/Absolute upper-left X/{print "cx=" $4}
    /Absolute upper-left Y/{print "cy=" $4}')"
xdotool mousemove $((cx + 400)) $((cy + 147 + 150)) click 3
sleep 0.5
xdotool key Down Down Down Return
editor=$(find_window '^添加订单$')
check "editor framed at its design place" "150 197 724 373" "$(outer_frame "$editor")"

if [ -n "${TALLOVAR_SCREENSHOT:-}" ]; then import -window root "$TALLOVAR_SCREENSHOT"; fi
exit "$failures"
