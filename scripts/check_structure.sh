#!/usr/bin/env bash
# Checks the two rules that keep one way to the ledger:
#  - the SQLite library is called, and statements are written, only in
#    store/ (the library only in its files named store/sqlite_*): outside
#    it (tests/, bench/ and fuzz/ aside) no sqlite3_* call or
#    <sqlite3.h>, and no string literal that reads as a statement (select …
#    from, insert into, delete from, update … set, create table/index/trigger,
#    pragma, or a bare begin/commit/rollback);
#  - the folders' includes form no circle (one folder including another's
#    header, followed round, never comes back to the first).
# Names each finding by file and line and fails when there is one.
# Usage: check_structure.sh [SOURCE_DIR]   (the tree this script is in by default)
set -uo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root" || exit 2

# The sources the rules hold for: every C and C++ file outside the build
# folders, the tests, the benchmarks and the fuzz targets.
sources() {
    find . -mindepth 1 \( -path './build*' -o -path './tests' -o -path './bench' -o -path './fuzz' \
        -o -path './.*' \) -prune -o -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print |
        sed 's|^\./||' | LC_ALL=C sort
}

findings=$(mktemp)
edges=$(mktemp)
trap 'rm -f "$findings" "$edges"' EXIT

# The folders each folder includes from, an edge for each, for the circle
# check. A program's entry (main.cpp, *_main.cpp) stands above every folder
# and is left out: it includes the windows it opens.
{ sources | grep -vE '(^|/|_)main\.cpp$' || true; } | xargs -r perl -ne '
    my ($folder) = $ARGV =~ m{^([^/]+)/} or next;
    print "$folder $1\n" if m{^\s*#\s*include\s+"([a-z_]+)/} && $1 ne $folder && -d $1;
' >"$edges" || exit 2
# Outside store/: SQLite calls, and string literals that read as statements.
# Lines that are comments as a whole say nothing the program runs.
{ sources | grep -v '^store/' || true; } | xargs -r perl -ne '
    my $where = "$ARGV:$.";
    close ARGV if eof;  # numbers each file'"'"'s lines from 1
    next if m{^\s*(//|\*|/\*)};
    if (m{sqlite3_[a-z0-9_]+\s*\(|#\s*include\s*<sqlite3\.h>}) {
        chomp(my $code = $_); $code =~ s/^\s+//;
        print "$where: $code   (the SQLite library outside store/)\n";
    }
    while (m{"((?:[^"\\]|\\.)*)"}g) {
        my $body = $1;
        print "$where: \"$body\"   (a statement outside store/)\n" if $body =~ m{^\s*(?:
            select\s+(?:distinct\s+)?[\w.()*]+(?:\s*,\s*[\w.()*]+)*\s+from\b | insert\s+into\b | delete\s+from\b | update\s+\S+\s+set\b
            | create\s+(?:temp\w*\s+|unique\s+)?(?:table|index|trigger)\b | pragma\b
            | (?:begin|commit|rollback)(?:\s+(?:immediate|exclusive|deferred|transaction))?\s*;?\s*$)}xi;
    }
' >"$findings" || exit 2
# Inside store/, SQLite's own calls stand in the files named for it
# (store/sqlite_*); the rest of the store speaks through their handles.
{ sources | grep '^store/' | grep -v '^store/sqlite_' || true; } | xargs -r perl -ne '
    my $where = "$ARGV:$.";
    close ARGV if eof;
    next if m{^\s*(//|\*|/\*)};
    if (m{sqlite3_[a-z0-9_]+\s*\(|#\s*include\s*<sqlite3\.h>}) {
        chomp(my $code = $_); $code =~ s/^\s+//;
        print "$where: $code   (the SQLite library outside the store/sqlite_* files)\n";
    }
' >>"$findings" || exit 2

status=0
if [ -s "$findings" ]; then
    echo "structure check: statements and SQLite calls belong in store/, beside the code that runs them:" >&2
    sed 's/^/    /' "$findings" >&2
    status=1
fi
# tsort names the members of a circle when its input has one.
if ! circle=$(LC_ALL=C sort -u "$edges" | tsort 2>&1 >/dev/null) || [ -n "$circle" ]; then
    echo "structure check: the folders' includes form a circle:" >&2
    grep -v 'input contains a loop' <<<"$circle" | sed 's/^tsort: /    /' >&2
    echo "    (edges: $(LC_ALL=C sort -u "$edges" | paste -sd, -))" >&2
    status=1
fi
exit "$status"
