# Sourced first by the shell tests that run windows on a display of their
# own: the test runs again under Xvfb on a 1024x768 screen, with Qt on X11.
# Source it with the test's arguments: . desktop.sh "$@"
# find_window NAME [PID]: the visible window of that title (a pattern), of
#   that process when given, waiting up to 20 s; empty when there is none.
if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# shellcheck source=check.sh
. "$(dirname "${BASH_SOURCE[0]}")/check.sh"

find_window() {
    local found=""
    for _ in $(seq 100); do
        found=$(xdotool search --onlyvisible ${2:+--pid "$2"} --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    echo "$found"
}
