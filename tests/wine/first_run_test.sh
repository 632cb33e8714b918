#!/usr/bin/env bash
# A new Windows user's first start from the Start menu, under Wine and Xvfb:
# tallovar-start.exe, with no ledger in the ledger folder, opens "新建账本"
# (tallovar-admin setup); the typed user, password and seller make an SQLite
# ledger, the day's backup is taken, the program starts in that folder and
# opens the ledger through the SQLite driver's own name, and the user signs in.
# Usage: first_run_test.sh WINDOWS_PROGRAM (tallovar-admin.exe and
# tallovar-start.exe lie beside it)
set -euo pipefail
if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
here=$(dirname "$0")
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"
# shellcheck source=../support/program.sh
. "$here/../support/program.sh"
# shellcheck source=../support/sign_in.sh
. "$here/../support/sign_in.sh"

root=$(mktemp -d)
pid=""
# The launcher has ended by itself when all went well.
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null || true; program_end; rm -rf "$root"' EXIT
program_install "$1" "$root"
# The tool and the launcher beside the program, as the installer puts them.
cp "$(dirname "$1")/tallovar-admin.exe" "$(dirname "$1")/tallovar-start.exe" "$root/program/"
# An ASCII folder name: tallovar-admin setup on Windows takes the GBK bytes of
# a Chinese current folder for UTF-8 (a fault of its own, not mended here).
ledgers="$root/ledgers"
TALLOVAR_LEDGER_DIR="Z:${ledgers//\//\\}"
export TALLOVAR_LEDGER_DIR

(LC_ALL=zh_CN.UTF-8 exec "$wine_loader" "$root/program/tallovar-start.exe") &
pid=$!
# window_named NAME: a visible window of that title in any process (the
# launcher, tallovar-admin and the program are three), waiting up to 60 s.
window_named() {
    local found=""
    for _ in $(seq 300); do
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    echo "$found"
}
setup=$(window_named '^新建账本$')
check "first-run window shown" yes "$([ -n "$setup" ] && echo yes)"
xdotool windowfocus --sync "$setup"
xdotool type --delay 50 boss
xdotool key Tab
xdotool type --delay 50 secret
xdotool key Tab
xdotool type --delay 50 secret
xdotool key Tab
xdotool type --delay 80 shop-A
xdotool key Tab Tab space

login=$(window_named '^Tallovar$')
[ -n "${TALLOVAR_SHOT:-}" ] && import -window root "$TALLOVAR_SHOT"
check "program started after the ledger was made" yes "$([ -n "$login" ] && echo yes)"
check "SQLite ledger in the ledger folder" "SQLite format 3" "$(head -c 15 "$ledgers/tallovar.mdb" 2>/dev/null)"
check "the day's backup taken" yes \
    "$([ -s "$ledgers/备份/tallovar-$(date +%Y%m%d).mdb" ] && echo yes)"
sign_in boss secret
main=$(window_named '^订单管理$')
check "signed in" yes "$([ -n "$main" ] && echo yes)"
exit "$failures"
