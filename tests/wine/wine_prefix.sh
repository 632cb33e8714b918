# Sourced by the shell tests that run the Windows program under Wine.
# wine_prefix_start DIR ODBC_DRIVER: a 32-bit Wine prefix of this run in DIR,
# Chinese Windows (code page 936), and an odbcinst.ini of this run, so that
# Wine's odbc32, which hands ODBC calls to this machine's 32-bit unixODBC,
# reaches this machine's 32-bit SQLite driver under both names the program
# connects with: Tallovar's own SQLite driver directly, and the Access
# driver's name through ODBC_DRIVER, the tests' stand-in for the Access
# driver (dbq_driver.cpp), which opens the SQLite database a legacy ledger's
# DBQ path leads to. wine_prefix_end stops the prefix's server.
#
# The program is 32-bit, so the tests name Wine's 32-bit loader: Debian's
# /usr/bin/wine picks a loader by the prefix and the program, and with both
# installed may take the 64-bit one.
wine_loader=${TALLOVAR_WINE_LOADER:-/usr/lib/wine/wine}
wine_server=${TALLOVAR_WINE_SERVER:-/usr/lib/wine/wineserver32}
# The machine's 32-bit SQLite ODBC driver (libsqliteodbc:i386).
wine_sqlite_driver=${TALLOVAR_WINE_SQLITE_DRIVER:-/usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so}
#
# Making a prefix takes about 20-30 s, so one is made once (per Wine version) in
# ~/.cache/tallovar and each run gets a copy: the system DLLs (nine tenths of
# it, never written) as hard links, the rest (registry, win.ini) as files.

wine_template() {  # prints the template prefix, making it first when missing
    local cache=${TALLOVAR_CACHE:-$HOME/.cache/tallovar}
    local template
    # Made again for another Wine or another recipe (this function).
    template="$cache/wine-prefix-$("$wine_loader" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' _)"
    template+="-$(declare -f wine_template | md5sum | cut -c1-8)"
    mkdir -p "$cache"
    (
        flock 9
        [ -f "$template/tallovar-ready" ] && exit 0
        rm -rf "$template"
        # No Mono or Gecko installers: the program needs neither.
        WINEARCH=win32 WINEPREFIX="$template" WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="" \
            "$wine_loader" wineboot --init >/dev/null 2>&1
        # The fonts the program's Chinese texts ask for by name, drawn with
        # this machine's CJK font.
        local name
        for name in SimSun NSimSun SimHei "Microsoft YaHei"; do
            WINEPREFIX="$template" DISPLAY="" "$wine_loader" reg add \
                'HKCU\Software\Wine\Fonts\Replacements' /v "$name" /d "Noto Sans CJK SC" /f \
                >/dev/null 2>&1
        done
        WINEPREFIX="$template" "$wine_server" --wait
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
    printf '[Microsoft Access Driver (*.mdb)]\nDriver=%s\n[Tallovar SQLite3 ODBC Driver]\nDriver=%s\n' \
        "$2" "$wine_sqlite_driver" >"$1/odbcinst.ini"
    export WINEPREFIX=$1 ODBCSYSINI=$1 ODBCINSTINI=odbcinst.ini
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# wine_exec PROGRAM [ARGUMENT...]: becomes the Windows program. Wine takes the
# Windows language and code page (936) from the locale, and hands the ODBC
# driver manager texts in the locale's character set, UTF-8 as the SQLite
# driver wants them: zh_CN.UTF-8, which scripts/setup.sh --tests makes. Only Wine
# gets it.
wine_exec() {
    exec env LC_ALL=zh_CN.UTF-8 "$wine_loader" "$@"
}

wine_prefix_end() {  # the server may have ended already: that is no failure
    if [ -n "${WINEPREFIX:-}" ]; then "$wine_server" --kill 2>/dev/null || true; fi
}

# wine_cjk_fonts_only DIR: Wine started after this sees only this machine's
# Noto CJK fonts (and its own), which the prefix also draws SimSun and
# Microsoft YaHei with: like a Windows PC, no WenQuanYi Micro Hei, whose
# ideographs alone keep apart from the Kangxi radicals. The fontconfig set-up
# and its cache go into DIR.
wine_cjk_fonts_only() {
    local noto
    noto=$(dirname "$(fc-match -f '%{file}' 'Noto Sans CJK SC')")
    mkdir -p "$1"
    cat >"$1/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$noto</dir><cachedir>$1/cache</cachedir></fontconfig>
EOF
    export FONTCONFIG_FILE=$1/fonts.conf
}
