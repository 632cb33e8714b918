#!/usr/bin/env bash
# The start command, then the test command, then both again, on one fresh
# machine: the real scripts/start.sh, test.sh and build.sh in a copy of the
# tree, with a CMake that only keeps its cache and a setup that only notes
# what it was asked for. The start command sets up for the program alone and
# configures build/ without the tests; the test command sets up for the tests
# and the Windows build and turns the tests on in build/ whatever configured
# it first. Then the real setup script lists, without installing, what each
# command's request installs.
# Usage: start_then_test_test.sh SOURCE_DIR
set -euo pipefail
source=$1
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
tree=$root/tree
mkdir -p "$tree/scripts" "$root/bin"
cp "$source"/scripts/{start,test,build}.sh "$tree/scripts/"
export LOG=$root/log
: >"$LOG"
# setup notes its arguments; the format check passes; the throw-away server
# cannot start, which ends the test command after its build.
printf '#!/bin/sh\necho "setup [$*]" >>"$LOG"\n' >"$tree/scripts/setup.sh"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/check_format.sh"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/check_structure.sh"
printf '#!/bin/sh\nexit 1\n' >"$tree/scripts/test_server.sh"
# cmake -S . -B DIR -DNAME=VALUE... keeps the values in DIR/CMakeCache.txt as
# CMake does for an option (TALLOVAR_TESTS, on by default where GoogleTest is
# installed, as on a machine the tests ran on before); --build notes the build.
cat >"$root/bin/cmake" <<'FAKE'
#!/usr/bin/env bash
set -eu
if [ "$1" = --build ]; then echo "build $2" >>"$LOG"; exit 0; fi
echo "configure $*" >>"$LOG"
folder=""
definitions=()
while [ $# -gt 0 ]; do
    case $1 in
        -B) folder=$2; shift ;;
        -D*) definitions+=("${1#-D}") ;;
    esac
    shift
done
cache=$folder/CMakeCache.txt
mkdir -p "$folder"
touch "$cache"
for definition in "${definitions[@]}"; do
    name=${definition%%=*}
    name=${name%%:*}
    grep -v "^$name:" "$cache" >"$cache.new" || true
    echo "$name:BOOL=${definition#*=}" >>"$cache.new"
    mv "$cache.new" "$cache"
done
grep -q '^TALLOVAR_TESTS:' "$cache" || echo 'TALLOVAR_TESTS:BOOL=ON' >>"$cache"
FAKE
chmod +x "$root/bin/cmake" "$tree"/scripts/*.sh
export PATH="$root/bin:$PATH"
unset DISPLAY WAYLAND_DISPLAY TALLOVAR_WITH_TESTS TALLOVAR_BUILD_DIR TALLOVAR_TEST_QUICK

run() {  # run start|test: the command's notes, each on a line of its own
    : >"$LOG"
    # Neither gets past its build here (no program was built, no server starts).
    "$tree/scripts/$1.sh" >/dev/null 2>&1 || true
    cat "$LOG"
}
tests_in_build() { grep '^TALLOVAR_TESTS:' "$tree/build/CMakeCache.txt" | cut -d= -f2; }
configured() { grep -c '^configure' <<<"$1" || true; }

start=$(run start)
check "start: setup for the program only" "setup []" "$(grep '^setup' <<<"$start")"
check "start: build/ configured without the tests" OFF "$(tests_in_build)"
check "start: built" "build build" "$(grep '^build' <<<"$start")"
test=$(run test)
check "test: setup for the tests and the Windows build" "setup [--tests --windows]" \
    "$(grep '^setup' <<<"$test")"
check "test: tests turned on in the build/ start configured" ON "$(tests_in_build)"
check "test: built" "build build" "$(grep '^build' <<<"$test")"
start=$(run start)
check "start again: build/ keeps the tests" ON "$(tests_in_build)"
check "start again: not configured again" 0 "$(configured "$start")"
test=$(run test)
check "test again: not configured again" 0 "$(configured "$test")"
# A build/ configured without the tests by hand, after the test command ran.
"$root/bin/cmake" -S . -B "$tree/build" -DTALLOVAR_TESTS=OFF
run test >/dev/null
check "test after the tests were turned off by hand: on again" ON "$(tests_in_build)"

# What each request would install and do, from the real setup script.
lists() {  # lists ARGUMENT...: the packages and steps, one a line
    "$source/scripts/setup.sh" --print "$@"
}
start_list=$(lists)
test_list=$(lists --tests --windows)
windows_list=$(lists --windows)
has() { grep -qx "$2" <<<"$1" && echo yes || echo no; }
# ~ stands for a space in the first column.
while read -r item for_start for_test for_windows; do
    item=${item//\~/ }
    check "$item, start command" "$for_start" "$(has "$start_list" "$item")"
    check "$item, test command" "$for_test" "$(has "$test_list" "$item")"
    check "$item, Windows build" "$for_windows" "$(has "$windows_list" "$item")"
done <<'TABLE'
package~qt6-base-dev                 yes yes yes
package~qt6-translations-l10n        yes yes yes
package~libsqliteodbc                yes yes yes
package~fonts-noto-cjk               yes yes yes
step~register~the~SQLite~ODBC~driver yes yes yes
package~postgresql-15                no  yes no
package~wine64                       no  yes no
package~wine32:i386                  no  yes no
package~libsqliteodbc:i386           no  yes no
package~g++-mingw-w64-i686-posix     no  yes yes
package~nsis                         no  yes yes
package~lintian                      no  yes no
package~openbox                      no  yes no
package~libgtest-dev                 no  yes no
package~clang-format                 no  yes no
package~libreoffice-calc-nogui       no  yes no
step~zh_CN.UTF-8~locale              no  yes no
step~i386~architecture               no  yes no
step~deb-src~entry                   no  yes yes
TABLE
exit "$failures"
