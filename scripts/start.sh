#!/usr/bin/env bash
# Sets up what is missing, builds, makes a demo ledger in demo/ if there is
# none, and starts the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
mkdir -p demo
if [ ! -e demo/tallovar.mdb ]; then
    (cd demo && ../build/tallovar-admin init admin admin --demo 300)
    echo "演示账本已建立：demo/tallovar.mdb（用户 admin，密码 admin）"
    echo "Demo ledger made: demo/tallovar.mdb (user admin, password admin)"
fi
cd demo
exec ../build/tallovar
