#!/usr/bin/env bash
# Sets up a Debian 12 machine for the program, builds it, and then either starts it on the demo
# database ("run") or runs every test ("test").
#   scripts/setup.sh run [extra start-up parameters]
#   scripts/setup.sh test
set -euo pipefail

mode=${1:-run}
shift || true
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${RP_BUILD_DIR:-$root/build}

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools
    libqt6sql6-sqlite libqt6sql6-odbc qt6-serialport-dev libcurl4-openssl-dev libqrencode-dev
    libxlsxwriter-dev libsqlite3-dev libgtest-dev libgmock-dev unixodbc unixodbc-dev libsqliteodbc
    xvfb xauth poppler-utils python3 python3-aiosmtpd socat openssl fonts-dejavu-core
    fonts-liberation2
    qt6-translations-l10n cups printer-driver-cups-pdf
    zbar-tools
    xdg-utils libwmf-bin
    libx11-dev
    qpdf locales
    clang-14 libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 \
        install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests also run under an English locale: it must exist.
if ! locale -a 2>/dev/null | grep -qix 'en_US\.utf-\?8'; then
    "${sudo_cmd[@]}" localedef -i en_US -f UTF-8 en_US.UTF-8
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}

case "$mode" in
    run)
        # The program, the demo database's writer and the program folder's files; the tests are
        # built by "test".
        cmake --build "$build" --parallel "$jobs" --target Rp_Tarifolio rp_demo_db rp_share \
            rp_sqlite_text
        program_dir=$build/bin
        if [ ! -f "$program_dir/DEMO.db" ]; then
            "$program_dir/rp_demo_db" --out "$program_dir"
        fi
        exec "$program_dir/Rp_Tarifolio" \
            "@server=SQLITE;@dbname=DEMO;@usuario=ADMIN;@Password=admin;@ParametroAdicional=;@Caja=1" "$@"
        ;;
    test)
        cmake --build "$build" --parallel "$jobs"
        (cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 600)
        # The fuzz targets, a minute each, in a build of their own under the sanitizers.
        bash "$root/tests/fuzz/run.sh"
        ;;
    *)
        echo "usage: scripts/setup.sh run|test" >&2
        exit 2
        ;;
esac
