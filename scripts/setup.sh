#!/usr/bin/env bash
# Installs what is missing on Debian 12 and registers the SQLite ODBC driver
# under the driver name the program connects with. Idempotent; works as root
# or through sudo.
#
#   scripts/setup.sh              what builds and runs the program (scripts/start.sh)
#   scripts/setup.sh --tests      also what the tests need (scripts/test.sh)
#   scripts/setup.sh --windows    also what the Windows build needs (scripts/windows/)
#   scripts/setup.sh --print ...  prints the packages and the other steps, changes nothing
#
# Messages go to standard error, so that a script that prints its result on
# standard output can call this first.
set -euo pipefail

tests=0
windows=0
print=0
for argument in "$@"; do
    case $argument in
        --tests) tests=1 ;;
        --windows) windows=1 ;;
        --print) print=1 ;;
        *)
            echo "用法 / usage: scripts/setup.sh [--tests] [--windows] [--print]" >&2
            exit 2
            ;;
    esac
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# The program: its compilers and build tools, Qt with its X11 platform plugin
# and Chinese translations, the ODBC layer with the SQLite driver and the
# team ledger's PostgreSQL driver, the workbook libraries, the Chinese font.
PACKAGES=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-translations-l10n
    unixodbc unixodbc-dev odbcinst libsqliteodbc libsqlite3-dev odbc-postgresql
    zlib1g-dev libzip-dev
    # the barcodes on printed packing slips
    libzint-dev
    fonts-noto-cjk
    # the printed pages' font: Qt's PDF writer maps each glyph back to the
    # lowest character that uses it, and Noto's ideographs share theirs with
    # the Kangxi radicals (一 read back as ⼀); this font keeps them apart and
    # holds Latin letters and digits too
    fonts-wqy-microhei
)
if [ "$tests" = 1 ]; then
    PACKAGES+=(
        # the test programs, the format check and the benchmarks
        libgtest-dev libgmock-dev libbenchmark-dev clang-format sqlite3
        # the real program under Xvfb: typing, screenshots, window frames
        xvfb xauth imagemagick xdotool xclip libx11-dev openbox x11-utils
        # the fuzz targets (clang's libFuzzer)
        clang libclang-rt-14-dev
        # the spreadsheet clients that read and write the exchange tests' workbooks
        python3-openpyxl libreoffice-calc-nogui
        # the throw-away server of the team-ledger runs
        postgresql-15 postgresql-client-15
        # the check of the Debian package the package test builds
        lintian
        # GNU time: the benchmark's peak memory of each case's process
        time
        # the readers of the printed PDFs: their texts, pages and barcodes
        poppler-utils zbar-tools
        # Wine runs the Windows build's programs, in a zh_CN locale made below:
        # the 32-bit loader (wine32) with the 32-bit ODBC library and SQLite
        # driver that its odbc32 reaches, and a compiler for the tests' 32-bit
        # driver adapter. Never unixodbc:i386: it would replace the 64-bit
        # unixodbc, whose isql could then no longer load the 64-bit driver.
        wine64 wine32:i386 libodbc2:i386 libsqliteodbc:i386 g++-multilib locales
        # fc-match: the Wine print tests show Wine the Noto CJK fonts only
        fontconfig
    )
fi
if [ "$windows" = 1 ]; then
    # MinGW-w64 for 32-bit Windows and zlib for it, the tools that unpack
    # Debian source packages (Qt and the libraries are built from them), the
    # installer maker.
    PACKAGES+=(g++-mingw-w64-i686-posix libz-mingw-w64-dev dpkg-dev xz-utils tcl nsis)
fi

steps=("register the SQLite ODBC driver")
# Wine runs the Windows programs in the zh_CN locale, where its ANSI code page
# is 936 (GBK) as on a Chinese Windows.
[ "$tests" = 1 ] && steps+=("zh_CN.UTF-8 locale")
# The 32-bit Windows program runs under the 32-bit Wine, from the i386
# architecture's packages.
[ "$tests" = 1 ] && steps+=("i386 architecture")
# The Windows build fetches Debian's own sources of Qt and the libraries it
# links (apt-get source), which needs a deb-src entry beside the binary one.
[ "$windows" = 1 ] && steps+=("deb-src entry")

if [ "$print" = 1 ]; then
    printf 'package %s\n' "${PACKAGES[@]}"
    printf 'step %s\n' "${steps[@]}"
    exit 0
fi

if [ "$tests" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 >&2
    $SUDO apt-get update -qq >&2
fi

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "安装缺少的软件包 / installing: ${missing[*]}" >&2
    $SUDO apt-get update -qq >&2
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >&2
fi

if [ "$tests" = 1 ] && ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 >&2
fi

if [ "$windows" = 1 ] &&
    ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $SUDO apt-get update -qq >&2
fi

$SUDO "$(dirname "$0")/register_odbc_driver.sh" >&2
