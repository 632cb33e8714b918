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
# The driver of this machine's own architecture: with the tests' 32-bit driver
# (libsqliteodbc:i386) installed beside it, the bare package name is ambiguous.
lib=$(dpkg -L "libsqliteodbc:$(dpkg --print-architecture)" | grep '/libsqlite3odbc\.so$' | head -n 1)
if [ -z "$lib" ]; then
    echo "找不到 SQLite ODBC 驱动（libsqliteodbc）/ SQLite ODBC driver not found (libsqliteodbc)" >&2
    exit 1
fi
ini=$(odbcinst -j 2>/dev/null | sed -n 's/^DRIVERS\.*: *//p')
ini=${ini:-/etc/odbcinst.ini}
# Appended as text: odbcinst -i would rewrite the whole file and drop its
# comments, and the package's purge takes exactly these lines away again.
{
    if [ -s "$ini" ] && [ -n "$(tail -c 1 "$ini")" ]; then echo; fi
    printf '[%s]\nDescription=%s\nDriver=%s\nSetup=%s\nUsageCount=1\n' "$DRIVER_NAME" \
        "SQLite 3 ODBC driver, registered under the Access driver name" "$lib" "$lib"
} >>"$ini"
echo "已注册 ODBC 驱动 / registered ODBC driver: $DRIVER_NAME"
