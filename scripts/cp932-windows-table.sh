#!/usr/bin/env bash
# Writes tests/unit/data/cp932_windows.txt: every character as WideCharToMultiByte(932) writes
# it, asked of Windows' own table under Wine (scripts/cp932-windows-table.cpp). Run once when
# the table is to be made again; the code page test and scripts/gen-cp932-table.py read it.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build
x86_64-w64-mingw32-g++ -std=c++20 -O1 -static -o build/cp932-windows-table.exe scripts/cp932-windows-table.cpp
source scripts/wine-env.sh
velnor_wine_prefix
"$VELNOR_WINE" build/cp932-windows-table.exe | tr -d '\r' > tests/unit/data/cp932_windows.txt
echo "tests/unit/data/cp932_windows.txt: $(grep -vc '^#' tests/unit/data/cp932_windows.txt) lines"
