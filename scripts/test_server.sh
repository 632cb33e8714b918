#!/usr/bin/env bash
# A throw-away PostgreSQL cluster for the team-ledger tests.
#
#   scripts/test_server.sh start DIR   makes and starts a cluster under DIR and
#                                      prints the ODBC connection string
#   scripts/test_server.sh stop DIR    stops it (immediately) and removes DIR
#   scripts/test_server.sh halt DIR    stops it as a crash would, keeping DIR
#   scripts/test_server.sh resume DIR  starts a halted cluster again
#
# The cluster runs as an unprivileged account (root may not run postgres; as
# root the account is `nobody`, which then owns DIR), listens on a Unix socket
# inside DIR and on loopback only, asks every client for a password (scram),
# and orders texts by a Chinese ICU collation by default, so that a column
# that forgets its byte-order collation shows in the tests.
set -euo pipefail

action=${1:?start|stop}
dir=${2:?directory}
case "$dir" in /*) ;; *) dir=$PWD/$dir ;; esac
# The server's account may not enter the caller's directory.
cd /
bin=/usr/lib/postgresql/15/bin
user=tallovar_test
password=${TALLOVAR_TEST_PG_PASSWORD:-tallovar-test-pw}

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
    else
        "$@"
    fi
}

free_port() {
    python3 - <<'PY' 2>/dev/null || echo $((20000 + RANDOM % 20000))
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
PY
}

case "$action" in
start)
    mkdir -p "$dir"
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir"
    chmod 700 "$dir"
    printf '%s\n' "$password" >"$dir/pw"
    [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$dir/pw"
    as_owner "$bin/initdb" -D "$dir/data" -U "$user" --pwfile="$dir/pw" \
        --auth=scram-sha-256 --encoding=UTF8 --locale=C.UTF-8 \
        --locale-provider=icu --icu-locale=zh-CN >"$dir/initdb.log" 2>&1
    port=$(free_port)
    # Kept in the cluster's own settings, so that resume starts it alike.
    cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = '127.0.0.1'
port = $port
unix_socket_directories = '$dir'
fsync = off
CONF
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        start >/dev/null
    echo "$port" >"$dir/port"
    PGPASSWORD=$password "$bin/createdb" -h "$dir" -p "$port" -U "$user" tallovar
    echo "Driver={PostgreSQL Unicode};Servername=127.0.0.1;Port=$port;Database=tallovar;Uid=$user;Pwd=$password;"
    ;;
halt)
    as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
    ;;
resume)
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null
    ;;
stop)
    if [ -f "$dir/data/postmaster.pid" ]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
