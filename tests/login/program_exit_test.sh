#!/usr/bin/env bash
# Runs the real program under Xvfb on a 1024x768 screen and checks how it ends:
# closing the login window ends it with 0; a missing ledger ends it with 0
# after the warning has been answered. Also checks where the login window opens.
# Then signs in on a real ledger: the main window opens at its place, and the
# program lives on while the editor is open after the main window has closed.
# Usage: program_exit_test.sh PROGRAM SEND_CLOSE ADMIN_TOOL (PROGRAM: the Linux
# program, or the Windows one, tallovar.exe, under Wine)
set -euo pipefail
program=$1
send_close=$2
admin=$3

if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
# The window tests' offscreen platform would draw nothing on the X screen.
export QT_QPA_PLATFORM=xcb
# Under the sanitizers the leak check reads whole allocation stacks: runs this
# short can end before Qt's D-Bus thread has settled, and the quick unwinder
# stops at the first frame inside Qt, where scripts/lsan.supp cannot tell
# that thread's objects from a leak of ours.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0; fi

root=$(mktemp -d)
pid=""
# shellcheck source=../support/program.sh
. "$(dirname "$0")/../support/program.sh"
# A run cut short leaves neither the program nor its files behind.
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
mkdir -p "$root/work"
program_install "$program" "$root"

# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
# shellcheck source=../support/sign_in.sh
. "$(dirname "$0")/../support/sign_in.sh"

find_window() {  # find_window PID NAME -> window id
    timeout 20 xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" | head -n 1
}

focused_name() {  # waits until the focused window has the title NAME; prints it
    # Without a window manager a Wine box is shown but takes no X focus:
    # there the box of that title is looked for instead.
    if program_is_windows; then
        [ -n "$(program_window "^$1\$")" ] && echo "$1"
        return 0
    fi
    local name=""
    for _ in $(seq 100); do
        name=$(xdotool getwindowname "$(xdotool getwindowfocus)" 2>/dev/null || true)
        [ "$name" == "$1" ] && break
        sleep 0.1
    done
    echo "$name"
}

check_place() {  # check_place WHAT "X=.. Y=.. WIDTH=.. HEIGHT=.." WINDOW
    # Without a window manager Wine shows only a window's inside on the X
    # screen (a window placed at 314,249 with 395x269 shows as 318,272 with
    # 387x242), so the place the program gives its frame cannot be seen here.
    if program_is_windows; then
        echo "skipped under Wine: $1"
        return
    fi
    check "$1" "$2" "$(xdotool getwindowgeometry --shell "$3" | grep -E '^(X|Y|WIDTH|HEIGHT)=' |
        tr '\n' ' ' | sed 's/ $//')"
}

end_code=""
wait_end() {  # wait_end PID: sets end_code (124 when it does not end)
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill "$1"
        wait "$1" || true
        end_code=124
        return
    fi
    end_code=0
    wait "$1" || end_code=$?
    pid=""
}

# Closing the login window before signing in.
touch "$root/work/tallovar.mdb"
program_start "$root/work"
login=$(find_window "$pid" '^Tallovar$')
check "login window shown" yes "$([ -n "$login" ] && echo yes || echo no)"
check_place "login window at its place on a 1024x768 screen" "X=314 Y=249 WIDTH=395 HEIGHT=269" "$login"
"$send_close" "$login"
wait_end "$pid"
check "exit code after closing the login window" 0 "$end_code"

# Signing in without a ledger in the current directory.
rm "$root/work/tallovar.mdb"
program_start "$root/work"
login=$(find_window "$pid" '^Tallovar$')
# The centre of "登录".
xdotool mousemove --window "$login" $((160 + 48)) $((168 + 12)) click 1
check "warning shown" "警告" "$(focused_name "警告")"
xdotool key Return
wait_end "$pid"
check "exit code after the missing-ledger warning" 0 "$end_code"
check "settings untouched" no "$([ -e "$root/program/config.ini" ] && echo yes || echo no)"

# Signing in on a real ledger, then closing the main window and the editor.
(cd "$root/work" && "$admin" init admin secret >/dev/null)
program_start "$root/work"
login=$(find_window "$pid" '^Tallovar$')
sign_in admin secret
main=$(find_window "$pid" '^订单管理$')
check "main window shown after signing in" yes "$([ -n "$main" ] && echo yes || echo no)"
check_place "main window at its place on a 1024x768 screen" "X=86 Y=163 WIDTH=852 HEIGHT=442" "$main"
gone=no
for _ in $(seq 50); do
    if [ -z "$(xdotool search --all --onlyvisible --pid "$pid" --name '^Tallovar$' || true)" ]; then
        gone=yes
        break
    fi
    sleep 0.1
done
check "login window gone" yes "$gone"
# A right click in the empty list, then the third item, 添加.
xdotool mousemove --window "$main" 400 $((147 + 150)) click 3
sleep 0.5
xdotool key Down Down Down Return
editor=$(find_window "$pid" '^添加订单$')
check "editor opened from the menu" yes "$([ -n "$editor" ] && echo yes || echo no)"
"$send_close" "$main"
sleep 1
check "program runs on while the editor is open" yes "$(kill -0 "$pid" 2>/dev/null && echo yes || echo no)"
"$send_close" "$editor"
wait_end "$pid"
check "exit code after closing the last window" 0 "$end_code"
check "remembered user" "username=admin" "$(grep -a username "$root/program/config.ini" | tr -d '\r')"

exit "$failures"
