#!/bin/sh
# Registers the SQLite ODBC driver (Debian libsqliteodbc) in odbcinst.ini
# under the driver name the program connects with. Does nothing when the name
# is registered already. Run as root: by scripts/setup.sh and by the Debian
# package's postinst.
set -eu

DRIVER_NAME="Microsoft Access Driver (*.mdb)"
if odbcinst -q -d -n "$DRIVER_NAME" >/dev/null 2>&1; then
    exit 0
fi
lib=$(dpkg -L libsqliteodbc | grep '/libsqlite3odbc\.so$' | head -n 1)
if [ -z "$lib" ]; then
    echo "找不到 SQLite ODBC 驱动（libsqliteodbc）/ SQLite ODBC driver not found (libsqliteodbc)" >&2
    exit 1
fi
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
cat >"$tmp" <<INI
[$DRIVER_NAME]
Description=SQLite 3 ODBC driver, registered under the Access driver name
Driver=$lib
Setup=$lib
INI
odbcinst -i -d -f "$tmp" >/dev/null
echo "已注册 ODBC 驱动 / registered ODBC driver: $DRIVER_NAME"
