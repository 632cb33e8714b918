#!/bin/sh
# Starts Tallovar, from the desktop entry or a shell. The program looks for
# tallovar.mdb in its working directory, so it runs in the user's ledger
# folder: $TALLOVAR_LEDGER_DIR, or ~/Tallovar, made when missing. It keeps
# config.ini and its skin library beside itself, so it runs from a folder the
# user can write to: the installed one if that is writable, otherwise a copy
# of its own in ~/.local/share/tallovar/program, renewed whenever the
# installed program changes (config.ini there stays).
set -eu

self=$(readlink -f "$0")
installed=$(readlink -f "$(dirname "$self")/../lib/tallovar")
ledgers=${TALLOVAR_LEDGER_DIR:-"$HOME/Tallovar"}

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
cd "$ledgers"
if [ ! -e tallovar.mdb ]; then
    echo "这里还没有账本：$ledgers/tallovar.mdb" >&2
    echo "  建立账本：cd \"$ledgers\" && tallovar-admin init 用户名 密码" >&2
    echo "There is no ledger here yet: $ledgers/tallovar.mdb" >&2
    echo "  make one: cd \"$ledgers\" && tallovar-admin init USER PASSWORD" >&2
fi
exec "$program/tallovar" "$@"
