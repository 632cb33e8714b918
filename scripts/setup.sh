#!/usr/bin/env bash
# Installs what the program and its tests need on Debian 12 and registers the
# SQLite ODBC driver under the driver name the program connects with.
# Idempotent; works as root or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    unixodbc unixodbc-dev odbcinst libsqliteodbc sqlite3 libsqlite3-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-cjk xvfb xauth imagemagick xdotool libx11-dev
    clang libclang-rt-14-dev
)

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

DRIVER_NAME="Microsoft Access Driver (*.mdb)"
if ! odbcinst -q -d -n "$DRIVER_NAME" >/dev/null 2>&1; then
    lib=$(dpkg -L libsqliteodbc | grep '/libsqlite3odbc\.so$' | head -n 1)
    tmp=$(mktemp)
    cat >"$tmp" <<INI
[$DRIVER_NAME]
Description=SQLite 3 ODBC driver, registered under the Access driver name
Driver=$lib
Setup=$lib
INI
    $SUDO odbcinst -i -d -f "$tmp" >/dev/null
    rm -f "$tmp"
    echo "已注册 ODBC 驱动 / registered ODBC driver: $DRIVER_NAME"
fi
