# Sourced by the shell tests that run the real program: the Linux program, or
# the Windows one (a PROGRAM ending in .exe), which runs under Wine in a prefix
# of this run. The tests call these instead of the program itself.
#
# program_install PROGRAM ROOT: a copy of the program alone in ROOT/program, so
#   config.ini and the skin library go there and not into the build tree.
# program_start FOLDER [ARGUMENT...]: starts it in FOLDER; sets $pid.
# program_end: for the test's exit trap, after the program has been killed.
# program_is_windows: true for the Windows program.

program_kind=linux
program_file=""

program_install() {
    mkdir -p "$2/program"
    case $1 in
    *.exe)
        program_kind=windows
        program_file="$2/program/tallovar.exe"
        cp "$1" "$program_file"
        # The Qt and runtime libraries and plugin folders beside it, shared;
        # the skin library is the program's to write.
        local item
        for item in "$(dirname "$1")"/*.dll "$(dirname "$1")"/*/; do
            item=${item%/}
            case ${item##*/} in SkinH_EL.dll | CMakeFiles | *_autogen) continue ;; esac
            [ -e "$item" ] && ln -s "$item" "$2/program/${item##*/}"
        done
        # shellcheck source=../wine/wine_prefix.sh
        . "$(dirname "${BASH_SOURCE[0]}")/../wine/wine_prefix.sh"
        wine_prefix_start "$2/wine" "${TALLOVAR_WINE_ODBC_DRIVER:?the ODBC driver of the Wine tests}"
        ;;
    *)
        program_file="$2/program/tallovar"
        cp "$1" "$program_file"
        ;;
    esac
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

program_end() {
    if program_is_windows; then wine_prefix_end; fi
    return 0
}

program_is_windows() { [ "$program_kind" = windows ]; }
