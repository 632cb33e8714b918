#!/usr/bin/env bash
# config.ini as the Linux program and the Windows one write it, under Xvfb:
# for each settings file a user may have, one sign-in with each program (the
# Windows one under Wine, where Wine's own kernel32 writes the file) must
# leave the same bytes.
# Usage: settings_bytes_test.sh WINDOWS_PROGRAM LINUX_PROGRAM ADMIN_TOOL
set -euo pipefail
if [ -z "${DISPLAY_FOR_TEST:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" env DISPLAY_FOR_TEST=1 "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# shellcheck source=../support/check.sh
. "$(dirname "$0")/../support/check.sh"
# shellcheck source=../support/program.sh
. "$(dirname "$0")/../support/program.sh"

root=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; program_end; rm -rf "$root"' EXIT
program_install "$1" "$root/windows"
program_install "$2" "$root/linux"
mkdir -p "$root/work"
(cd "$root/work" && "$3" init 老板 secret >/dev/null && "$3" user add boss secret >/dev/null)


# written ROOT SEED TYPED_USER: the bytes of config.ini after one sign-in by
# the program in ROOT, starting from SEED (UTF-8 text, stored as GBK; "-" for
# no file), as hexadecimal. The user name is the remembered one unless typed.
written() {
    program_select "$1"
    rm -f "$1/program/config.ini"
    [ "$2" = - ] || printf '%s' "$2" | iconv -f utf-8 -t gbk >"$1/program/config.ini"
    program_start "$root/work"
    local login
    login=$(program_window '^Tallovar$')
    xdotool windowfocus --sync "$login"
    if [ -n "$3" ]; then
        xdotool mousemove --window "$login" 216 88 click 1 key ctrl+a type "$3"
    fi
    xdotool mousemove --window "$login" 216 136 click 1 key ctrl+a type secret
    xdotool mousemove --window "$login" 208 180 click 1
    program_window '^订单管理$' >/dev/null
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
    od -An -tx1 -v "$1/program/config.ini" | tr -d ' \n'
}

# Not alike, and left so: a file edited by hand with Unix line ends, blank
# lines or blanks around "=", which Wine writes back whole in Windows form
# while the Linux program keeps the lines it did not change as they were.
cases=(
    "no file" - boss
    "the lists, Windows line ends" $'[zhanghaoinfo]\r\nzhanghao=旗舰店|二店\r\n[sysuser]\r\nusername=老板\r\npassword=旧的\r\n[kuaidiinfo]\r\nkuaidi=中通快递#顺丰\r\n' ""
    "a comment, a key added" $'; 账号与快递\r\n[sysuser]\r\nusername=老板\r\n[kuaidiinfo]\r\nkuaidi=顺丰\r\n' ""
    "no line end at the end" $'[sysuser]\r\nusername=老板\r\npassword=' ""
)
for ((i = 0; i < ${#cases[@]}; i += 3)); do
    linux=$(written "$root/linux" "${cases[i + 1]}" "${cases[i + 2]}")
    windows=$(written "$root/windows" "${cases[i + 1]}" "${cases[i + 2]}")
    # "password=secret", remembered at the sign-in.
    check "${cases[i]}: signed in" yes "$([[ $linux == *70617373776f72643d736563726574* ]] && echo yes || echo no)"
    check "${cases[i]}: the same bytes from both programs" "$linux" "$windows"
done
exit "$failures"
