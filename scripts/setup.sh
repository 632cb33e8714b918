#!/usr/bin/env bash
# Installs what the program and its tests need on Debian 12 and registers the
# SQLite ODBC driver under the driver name the program connects with.
# Idempotent; works as root or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
    cmake ninja-build g++ pkg-config clang-format ccache
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    unixodbc unixodbc-dev odbcinst libsqliteodbc sqlite3 libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk xvfb xauth imagemagick xdotool libx11-dev
    clang libclang-rt-14-dev
    qt6-charts-dev
    libxlsxwriter-dev libzip-dev
    # the team ledger: its ODBC driver, and the throw-away server of the tests
    odbc-postgresql postgresql-15 postgresql-client-15
    # the Windows build (scripts/windows/build.sh): MinGW-w64, zlib for it, the
    # tools that unpack Debian source packages, and the installer maker
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev xz-utils tcl nsis
)
# Test only: the spreadsheet clients that read and write the exchange tests'
# workbooks. scripts/test.sh asks for them with TALLOVAR_SETUP_TESTS=1.
TEST_PACKAGES=(python3-openpyxl libreoffice-calc-nogui)
if [ "${TALLOVAR_SETUP_TESTS:-0}" = 1 ]; then PACKAGES+=("${TEST_PACKAGES[@]}"); fi
# Test-only: lintian checks the Debian package that the package test builds.
PACKAGES+=(lintian)
# Test-only: a window manager that frames windows, and xprop/xwininfo to measure the frames.
PACKAGES+=(openbox x11-utils)
# Test-only: Wine runs the Windows build's programs.
PACKAGES+=(wine64)
# Test-only: the locales' sources, from which the zh_CN locale for Wine is made
# below.
PACKAGES+=(locales)
# Benchmark only: GNU time measures the peak memory of each case's process.
PACKAGES+=(time)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "安装缺少的软件包 / installing: ${missing[*]}"
    $SUDO apt-get update -qq
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

# Test-only: Wine runs the Windows programs in the zh_CN locale, where its
# ANSI code page is 936 (GBK) as on a Chinese Windows.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    $SUDO localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# The Windows build fetches Debian's own sources of Qt and the libraries it
# links (apt-get source), which needs a deb-src entry beside the binary one.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    $SUDO apt-get update -qq
fi

$SUDO "$(dirname "$0")/register_odbc_driver.sh"
