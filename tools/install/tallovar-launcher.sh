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
    for file in tallovar SkinH_EL.dll; do
        if ! cmp -s "$installed/$file" "$program/$file"; then
            cp "$installed/$file" "$program/.$file.new"
            mv -f "$program/.$file.new" "$program/$file"
        fi
    done
fi

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
exec "$program/tallovar" "$@"
