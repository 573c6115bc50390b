#!/usr/bin/env bash
# Installs every Debian package the project needs (build, run, test, benchmark). Idempotent: a machine
# that has them all is left alone and nothing is fetched. Run as root on Debian 12.
set -euo pipefail

packages=(
  # toolchain
  cmake ninja-build g++ pkg-config
  # Qt 6: Core, Widgets, Test; fonts so the offscreen window renders text
  qt6-base-dev fonts-dejavu-core fonts-liberation2
  # data access: SQLite, unixODBC with FreeTDS (SQL Server) and the SQLite ODBC driver (tests)
  libsqlite3-dev sqlite3 unixodbc unixodbc-dev tdsodbc libsqliteodbc
  # workbook engine
  libzip-dev libpugixml-dev zip unzip
  # tests and benchmarks: GoogleTest, an independent workbook reader, libxlsxwriter for comparison
  libgtest-dev libgmock-dev python3 python3-openpyxl libxlsxwriter-dev
  # tests: LibreOffice without a GUI opens, prints and resaves our workbooks (and converts binary
  # templates); poppler's pdftotext reads the printed pages back
  libreoffice-calc-nogui poppler-utils
  # opening the finished workbook on a desktop
  xdg-utils
  # fuzzing (scripts/fuzz.sh): clang with libFuzzer and the sanitizer runtimes
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
