#!/bin/sh
# Starts Tallovar, from the desktop entry or a shell. The program looks for
# tallovar.mdb in its working directory, so it runs in the user's ledger
# folder: $TALLOVAR_LEDGER_DIR, the folder chosen at the first run, or
# ~/Tallovar, made when missing. It keeps
# config.ini and its skin library beside itself, so it runs from a folder the
# user can write to: the installed one if that is writable, otherwise a copy
# of its own in ~/.local/share/tallovar/program, renewed whenever the
# installed program changes (config.ini there stays).
set -eu

self=$(readlink -f "$0")
installed=$(readlink -f "$(dirname "$self")/../lib/tallovar")
# The folder chosen in the first-run window, when it is not the default.
remembered=${XDG_CONFIG_HOME:-"$HOME/.config"}/tallovar/ledger-folder
ledger_folder() {
    if [ -n "${TALLOVAR_LEDGER_DIR:-}" ]; then
        echo "$TALLOVAR_LEDGER_DIR"
    elif [ -s "$remembered" ]; then
        head -n 1 "$remembered"
    else
        echo "$HOME/Tallovar"
    fi
}
ledgers=$(ledger_folder)

program=$installed
if [ ! -w "$installed" ]; then
    program=${XDG_DATA_HOME:-"$HOME/.local/share"}/tallovar/program
    mkdir -p "$program"
    for file in tallovar SkinH_EL.dll couriers.txt; do
        if ! cmp -s "$installed/$file" "$program/$file"; then
            cp "$installed/$file" "$program/.$file.new"
            mv -f "$program/.$file.new" "$program/$file"
        fi
    done
    # The import presets as installed; the user's own mappings (导入映射/)
    # live beside them in this copy.
    mkdir -p "$program/import_presets"
    for file in "$installed"/import_presets/*.txt; do
        [ -e "$file" ] || continue
        cmp -s "$file" "$program/import_presets/${file##*/}" || cp "$file" "$program/import_presets/"
    done
fi

# The day's copy of the ledger into 备份/ beside it (tallovar-admin backup
# --daily). A failure is shown on the desktop and the program starts anyway.
daily_backup() {
    if problem=$("$installed/tallovar-admin" backup --daily 2>&1 >/dev/null); then
        return 0
    fi
    message="今天的自动备份没有完成，程序照常启动。
$problem"
    echo "$message" >&2
    # The tool's own window draws the Chinese text with the program's font and
    # stays above the login window that opens after it; the desktop's
    # notifiers are the way round when it cannot open one.
    # It stays open after the launcher has gone, holding none of its output.
    { "$installed/tallovar-admin" notice "Tallovar 备份" "$message" ||
        desktop_notice "$message"; } >/dev/null 2>&1 &
    return 0
}
desktop_notice() {  # desktop_notice TEXT
    if command -v zenity >/dev/null 2>&1; then
        zenity --warning --title="Tallovar 备份" --text="$1"
    elif command -v kdialog >/dev/null 2>&1; then
        kdialog --title "Tallovar 备份" --sorry "$1"
    elif command -v notify-send >/dev/null 2>&1; then
        notify-send "Tallovar 备份" "$1"
    elif command -v xmessage >/dev/null 2>&1; then
        # Xaw reads UTF-8 only in its international mode, with a font set.
        LC_ALL=C.UTF-8 xmessage -center -title "Tallovar 备份" -xrm '*international: true' \
            -xrm '*fontSet: -*-*-medium-r-normal--16-*-*-*-*-*-*-*,*' "$1"
    fi
}

mkdir -p "$ledgers"
# First run: no ledger yet (and no team ledger in config.ini), so the window
# "新建账本" makes one, perhaps in another folder; cancelled, nothing starts.
if [ ! -e "$ledgers/tallovar.mdb" ]; then
    if ! "$installed/tallovar-admin" setup "$ledgers"; then
        echo "没有建立账本，程序未启动。也可以：cd \"$ledgers\" && tallovar-admin init 用户名 密码" >&2
        echo "No ledger made; not started. Or: cd \"$ledgers\" && tallovar-admin init USER PASSWORD" >&2
        exit 1
    fi
    ledgers=$(ledger_folder)
fi
cd "$ledgers"
if [ -e tallovar.mdb ]; then
    daily_backup
fi
exec "$program/tallovar" "$@"
