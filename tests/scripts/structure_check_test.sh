#!/usr/bin/env bash
# The structure check on small trees that each break one rule or keep it,
# and on a copy of this source tree with an SQLite call planted in tools/.
# Usage: structure_check_test.sh SOURCE_DIR
set -uo pipefail
source=$1
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
check_script=$source/scripts/check_structure.sh

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

# verdict NAME FILE TEXT [FILE TEXT]...: "passes" or "fails: <first finding>"
# for a tree of common/, store/, tools/, ui/ and tests/ holding only those files.
verdict() {
    local tree=$root/$1
    shift
    mkdir -p "$tree"/{common,store,tools,ui,tests}
    while [ $# -gt 0 ]; do
        mkdir -p "$(dirname "$tree/$1")"
        printf '%s\n' "$2" >"$tree/$1"
        shift 2
    done
    local report
    if report=$("$check_script" "$tree" 2>&1); then
        echo passes
    else
        echo "fails: $(sed -n 2p <<<"$report" | sed 's/^ *//')"
    fi
}

# name | file | text | expected verdict
cases=(
    "sqlite call in tools|tools/trash.cpp|    sqlite3_exec(db, text, nullptr, nullptr, nullptr);|fails: tools/trash.cpp:1: sqlite3_exec(db, text, nullptr, nullptr, nullptr);   (the SQLite library outside store/)"
    "sqlite header in ui|ui/window.h|#include <sqlite3.h>|fails: ui/window.h:1: #include <sqlite3.h>   (the SQLite library outside store/)"
    "sqlite call in store|store/sqlite_file.cpp|    sqlite3_exec(db, text, nullptr, nullptr, nullptr);|passes"
    "sqlite call elsewhere in store|store/users.cpp|    sqlite3_changes(db);|fails: store/users.cpp:1: sqlite3_changes(db);   (the SQLite library outside the store/sqlite_* files)"
    "sqlite call in tests|tests/file_test.cpp|    sqlite3_exec(db, text, nullptr, nullptr, nullptr);|passes"
    "sqlite named in a comment|tools/copy.cpp|// sqlite3_backup_step() copies the pages|passes"
    "select in ui|ui/list.cpp|    db.OpenTable(\"SELECT count(*) FROM orders\");|fails: ui/list.cpp:1: \"SELECT count(*) FROM orders\"   (a statement outside store/)"
    "insert in tools|tools/add.cpp|    Run(\"insert into sysuser values ('a')\");|fails: tools/add.cpp:1: \"insert into sysuser values ('a')\"   (a statement outside store/)"
    "delete in tools|tools/drop.cpp|    Run(\" delete from orders\");|fails: tools/drop.cpp:1: \" delete from orders\"   (a statement outside store/)"
    "update set in ui|ui/edit.cpp|    Run(\"update orders set state=1\");|fails: ui/edit.cpp:1: \"update orders set state=1\"   (a statement outside store/)"
    "create index in tools|tools/init.cpp|    Run(\"create unique index i on t(a)\");|fails: tools/init.cpp:1: \"create unique index i on t(a)\"   (a statement outside store/)"
    "pragma in common|common/x.cpp|    Run(\"PRAGMA synchronous=extra\");|fails: common/x.cpp:1: \"PRAGMA synchronous=extra\"   (a statement outside store/)"
    "bare begin in ui|ui/recycle.cpp|    db.ExecuteSql(\"begin\");|fails: ui/recycle.cpp:1: \"begin\"   (a statement outside store/)"
    "begin immediate in tools|tools/user.cpp|    db.Exec(\"begin immediate\");|fails: tools/user.cpp:1: \"begin immediate\"   (a statement outside store/)"
    "statement in store|store/orders.cpp|    return \"delete from orders where id=\" + id;|passes"
    "words that only look like one|ui/help.cpp|    Show(\"Select a file from the list\", \"commit to it\", \"update\");|passes"
    "select of several columns in ui|ui/list.cpp|    Read(\"select id, sum(amount) from orders\");|fails: ui/list.cpp:1: \"select id, sum(amount) from orders\"   (a statement outside store/)"
    "an escaped quote inside a text|ui/note.cpp|    Show(\"say \\\"begin\\\" here\");|passes"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name file text expected <<<"$row"
    check "$name" "$expected" "$(verdict "${name// /_}" "$file" "$text")"
done

# Includes: a circle of folders fails, a chain passes, a program's entry may
# include from any folder.
check "ui and tools include each other" "fails: tools" "$(verdict circle \
    ui/first_run.cpp '#include "tools/first_ledger.h"' \
    tools/setup.cpp '#include "ui/first_run.h"' | sed 's/ *ui$//')"
check "tools above ui above store" passes "$(verdict chain \
    ui/first_run.cpp '#include "store/first_ledger.h"' \
    tools/setup.cpp '#include "ui/first_run.h"')"
check "an entry includes the windows" passes "$(verdict entry \
    ui/login.cpp '#include "tools/paths.h"' \
    tools/admin_main.cpp '#include "ui/login.h"')"

# This source tree passes, and fails once tools/ calls SQLite itself.
copy=$root/copy
mkdir -p "$copy"
tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$copy" -xf -
"$check_script" "$copy" >/dev/null 2>&1
check "this source tree" 0 "$?"
printf 'int Planted(sqlite3* db) { return sqlite3_exec(db, "", 0, 0, 0); }\n' >"$copy/tools/planted.cpp"
report=$("$check_script" "$copy" 2>&1)
check "a call planted in tools/" 1 "$?"
check "the planted call is named" 1 "$(grep -c 'tools/planted.cpp:1: int Planted' <<<"$report")"

[ "$failures" -eq 0 ]
