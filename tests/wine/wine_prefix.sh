# Sourced by the shell tests that run the Windows program under Wine.
# wine_prefix_start DIR ODBC_DRIVER: a Wine prefix of this run in DIR, Chinese
# Windows (code page 936), and an odbcinst.ini of this run that registers
# ODBC_DRIVER under the Access driver's name, so Wine's odbc32, which hands
# ODBC calls to this machine's unixODBC, reaches the SQLite driver with the
# program's own connection string. wine_prefix_end stops the prefix's server.
#
# Making a prefix takes about 20-30 s, so one is made once (per Wine version) in
# ~/.cache/tallovar and each run gets a copy: the system DLLs (nine tenths of
# it, never written) as hard links, the rest (registry, win.ini) as files.

wine_template() {  # prints the template prefix, making it first when missing
    local cache=${TALLOVAR_CACHE:-$HOME/.cache/tallovar}
    local template
    # Made again for another Wine or another recipe (this function).
    template="$cache/wine-prefix-$(wine --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' _)"
    template+="-$(declare -f wine_template | md5sum | cut -c1-8)"
    mkdir -p "$cache"
    (
        flock 9
        [ -f "$template/tallovar-ready" ] && exit 0
        rm -rf "$template"
        # No Mono or Gecko installers: the program needs neither.
        WINEPREFIX="$template" WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="" wineboot --init \
            >/dev/null 2>&1
        # The fonts the program's Chinese texts ask for by name, drawn with
        # this machine's CJK font.
        local name
        for name in SimSun NSimSun SimHei "Microsoft YaHei"; do
            WINEPREFIX="$template" DISPLAY="" wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
                /v "$name" /d "Noto Sans CJK SC" /f >/dev/null 2>&1
        done
        WINEPREFIX="$template" wineserver --wait
        touch "$template/tallovar-ready"
    ) 9>"$cache/wine-prefix.lock"
    echo "$template"
}

wine_prefix_start() {  # wine_prefix_start DIR ODBC_DRIVER
    local template file
    template=$(wine_template)
    mkdir -p "$1"
    cp -al "$template/." "$1"
    find "$1" -path "$1/drive_c/windows/system32" -prune -o -type f -print | while read -r file; do
        cp -p "$file" "$file.copy" && mv "$file.copy" "$file"
    done
    printf '[Microsoft Access Driver (*.mdb)]\nDriver=%s\n' "$2" >"$1/odbcinst.ini"
    export WINEPREFIX=$1 ODBCSYSINI=$1 ODBCINSTINI=odbcinst.ini
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# wine_exec PROGRAM [ARGUMENT...]: becomes the Windows program. Wine takes the
# Windows language and code page (936) from the locale, and hands the ODBC
# driver manager texts in the locale's character set, UTF-8 as the SQLite
# driver wants them: zh_CN.UTF-8, which scripts/setup.sh --tests makes. Only Wine
# gets it.
wine_exec() {
    exec env LC_ALL=zh_CN.UTF-8 wine "$@"
}

wine_prefix_end() {
    [ -n "${WINEPREFIX:-}" ] && wineserver --kill 2>/dev/null
    return 0
}
