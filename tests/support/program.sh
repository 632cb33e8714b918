# Sourced by the shell tests that run the real program: the Linux program, or
# the Windows one (a PROGRAM ending in .exe), which runs under Wine in a prefix
# of this run. The tests call these instead of the program itself.
#
# program_install PROGRAM ROOT: a copy of the program alone in ROOT/program, so
#   config.ini and the skin library go there and not into the build tree.
# program_select ROOT: the program installed in ROOT is the one started next.
# program_start FOLDER [ARGUMENT...]: starts it in FOLDER; sets $pid.
# program_window NAME: the started program's visible window of that title
#   (a pattern), waiting up to 20 s (60 s under Wine); empty when there is none.
# program_window_gone NAME: waits until the started program shows no window of
#   that title, up to 10 s. Without a window manager Wine hides a window only
#   after waiting 2 s for a manager to take note, and a click meant for the
#   window below lands on it until then.
# program_end: for the test's exit trap, after the program has been killed.
# program_is_windows: true for the Windows program.
# answer NAME: presses Enter (the default button) in the started program's box
#   of that title, when it shows one, and waits until it is gone.
# at WINDOW X Y: the window focused, the mouse at a point of its inside.

program_kind=linux
program_file=""
program_wine=""

program_install() {
    mkdir -p "$2/program"
    case $1 in
    *.exe)
        cp "$1" "$2/program/tallovar.exe"
        # The Qt and runtime libraries, qt.conf and the folders of plugins,
        # translations and fonts beside it, shared; the skin library is the
        # program's to write.
        local item
        for item in "$(dirname "$1")"/*.dll "$(dirname "$1")"/qt.conf; do
            [ -e "$item" ] && [ "${item##*/}" != SkinH_EL.dll ] && ln -s "$item" "$2/program/"
        done
        for item in "$(dirname "$1")"/*/; do
            if compgen -G "$item*.dll" >/dev/null || compgen -G "$item*.qm" >/dev/null ||
                compgen -G "$item*.ttc" >/dev/null; then
                ln -s "${item%/}" "$2/program/"
            fi
        done
        # shellcheck source=../wine/wine_prefix.sh
        . "$(dirname "${BASH_SOURCE[0]}")/../wine/wine_prefix.sh"
        if [ -z "$program_wine" ]; then  # one prefix for the run
            program_wine="$2/wine"
            wine_prefix_start "$program_wine" "${TALLOVAR_WINE_ODBC_DRIVER:?the ODBC driver of the Wine tests}"
        fi
        ;;
    *) cp "$1" "$2/program/tallovar" ;;
    esac
    program_select "$2"
}

program_select() {
    if [ -e "$1/program/tallovar.exe" ]; then
        program_kind=windows
        program_file="$1/program/tallovar.exe"
    else
        program_kind=linux
        program_file="$1/program/tallovar"
    fi
}

program_start() {
    local folder=$1
    shift
    if program_is_windows; then
        (cd "$folder" && wine_exec "$program_file" "$@") &
    else
        (cd "$folder" && exec "$program_file" "$@") &
    fi
    pid=$!
}

program_window() {
    local found="" tries=100
    # Wine's own dialogs (the save dialog) take longer to come up.
    if program_is_windows; then tries=300; fi
    for _ in $(seq "$tries"); do  # a window going away under the search fails it
        found=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null || true)
        [ -n "$found" ] && break
        sleep 0.2
    done
    echo "${found%%$'\n'*}"
}

program_window_gone() {
    for _ in $(seq 100); do
        xdotool search --all --onlyvisible --pid "$pid" --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
}

program_end() {
    if [ -n "$program_wine" ]; then wine_prefix_end; fi
    return 0
}

program_is_windows() { [ "$program_kind" = windows ]; }

answer() {
    local box
    box=$(program_window "$1")
    [ -n "$box" ] || return 0
    xdotool windowfocus --sync "$box" key Return
    program_window_gone "$1"
}

at() {
    xdotool windowfocus --sync "$1" mousemove --window "$1" "$2" "$3"
}
