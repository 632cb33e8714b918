#!/usr/bin/env bash
# Checks that every tracked C++ source reads as clang-format writes it (the
# style of .clang-format). Names the files that do not and fails; run
# `clang-format -i FILE...` on them to mend them.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
report=$(git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror 2>&1) || status=$?
[ "$status" -eq 0 ] && exit 0
files=$(grep -oE '^[^:[:space:]]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u || true)
if [ -z "$files" ]; then
    # clang-format itself failed (missing, or its configuration unreadable).
    echo "format check: clang-format failed:" >&2
    echo "$report" | head -n 20 >&2
    exit 1
fi
echo "format check: these files are not formatted as .clang-format asks:" >&2
sed 's/^/    /' <<<"$files" >&2
echo "mend them with: clang-format -i $(paste -sd ' ' <<<"$files")" >&2
exit 1
