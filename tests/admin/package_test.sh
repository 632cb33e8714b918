#!/usr/bin/env bash
# The Debian package as a reviewer and an administrator meet it: lintian has
# nothing to say about it (skipped, with a message, where lintian is absent),
# and its maintainer scripts, run on an unpacked copy (DPKG_ROOT) and a
# scratch odbcinst.ini (ODBCSYSINI), register the driver where it is missing
# and leave the file byte for byte as it was after a purge.
# Usage: package_test.sh CPACK CPACK_CONFIG
set -euo pipefail
cpack=$1
config=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"

if ! "$cpack" -G DEB --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
deb=$(ls "$work"/out/tallovar_*.deb)

if command -v lintian >/dev/null; then
    check "lintian finds nothing" "" \
        "$(lintian "$deb" 2>&1 | grep -v 'running with root privileges' || true)"
else
    echo "SKIPPED: lintian is not installed, the package was not checked by it"
fi

driver="Microsoft Access Driver (*.mdb)"
export DPKG_ROOT="$work/root" ODBCSYSINI="$work/etc"
dpkg-deb -x "$deb" "$DPKG_ROOT"
dpkg-deb -e "$deb" "$work/control"
mkdir -p "$ODBCSYSINI" "$DPKG_ROOT/var/lib"
# The unpacked copy shares this system's package database (libsqliteodbc).
ln -s /var/lib/dpkg "$DPKG_ROOT/var/lib/dpkg"

# Each case: the odbcinst.ini before the installation.
while IFS= read -r -d '' before; do
    name=$(printf '%s' "$before" | head -n 1)
    name=${name:-an empty file}
    printf '%s' "$before" >"$ODBCSYSINI/odbcinst.ini"
    "$work/control/postinst" configure
    "$work/control/postinst" configure 0.1.0  # an upgrade adds nothing
    check "$name: driver registered" 0 \
        "$(odbcinst -q -d -n "$driver" >/dev/null 2>&1; echo $?)"
    check "$name: entries of the driver" 1 \
        "$(grep -cF "[$driver]" "$ODBCSYSINI/odbcinst.ini")"
    "$work/control/postrm" remove
    "$work/control/postrm" purge
    check "$name: odbcinst.ini after the purge" "$(printf '%s' "$before" | od -c)" \
        "$(od -c <"$ODBCSYSINI/odbcinst.ini")"
done < <(printf '%s\0' \
    $'# comments and other drivers, kept\n[SQLite3]\nDescription = SQLite3 ODBC Driver\nDriver=libsqlite3odbc.so\n\n; a note\n[Other]\nDriver=other.so\n' \
    '' \
    $'# the user\'s own entry, kept\n['"$driver"$']\nDriver=/opt/own/driver.so\n\n[Other]\nDriver=other.so\n')

[ "$failures" -eq 0 ]
