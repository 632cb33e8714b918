#!/usr/bin/env bash
# Runs the real program under Xvfb on a 1024x768 screen and checks how it ends:
# closing the login window ends it with 0; a missing ledger ends it with 0
# after the warning has been answered. Also checks where the login window opens.
# Usage: program_exit_test.sh PROGRAM SEND_CLOSE
set -euo pipefail
program=$1
send_close=$2

if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
# A copy of the program in its own directory, so config.ini and the skin
# library go there and not into the build tree.
mkdir -p "$root/program" "$root/work"
cp "$program" "$root/program/tallovar"

failures=0
check() {  # check WHAT EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}

find_window() {  # find_window PID NAME -> window id
    timeout 20 xdotool search --sync --onlyvisible --pid "$1" --name "$2" | head -n 1
}

wait_exit() {  # wait_exit PID -> exit code (124 when it does not end)
    local rc=0
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill "$1"
        wait "$1" || true
        echo 124
        return
    fi
    wait "$1" || rc=$?
    echo "$rc"
}

# Closing the login window before signing in.
touch "$root/work/tallovar.mdb"
(cd "$root/work" && exec "$root/program/tallovar") &
pid=$!
login=$(find_window "$pid" '^Tallovar$')
check "login window shown" yes "$([ -n "$login" ] && echo yes || echo no)"
geometry=$(xdotool getwindowgeometry "$login" | tr -s ' ' | tr '\n' ' ')
check "login window position and size" "Position: 314,249 (screen: 0) Geometry: 395x269" \
    "$(echo "$geometry" | sed -E 's/^Window [0-9]+ //; s/ $//')"
"$send_close" "$login"
check "exit code after closing the login window" 0 "$(wait_exit "$pid")"

# Signing in without a ledger in the current directory.
rm "$root/work/tallovar.mdb"
(cd "$root/work" && exec "$root/program/tallovar") &
pid=$!
login=$(find_window "$pid" '^Tallovar$')
button_x=$((314 + 160 + 48))
button_y=$((249 + 168 + 12))
xdotool mousemove "$button_x" "$button_y" click 1
warning=$(find_window "$pid" '^警告$')
check "warning shown" yes "$([ -n "$warning" ] && echo yes || echo no)"
xdotool windowfocus --sync "$warning" key Return
check "exit code after the missing-ledger warning" 0 "$(wait_exit "$pid")"
check "settings untouched" no "$([ -e "$root/program/config.ini" ] && echo yes || echo no)"

exit "$failures"
