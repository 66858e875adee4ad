#!/usr/bin/env bash
# Speed of Velnor.exe under Wine: cross-builds, then prints the figures of tests/e2e/bench_window.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build/windows
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVELNOR_TESTS=OFF -DVELNOR_E2E=ON >/dev/null
cmake --build "$BUILD" -j2
source scripts/wine-env.sh
trap 'velnor_wineserver_stop; velnor_display_stop' EXIT
velnor_display
velnor_wine_prefix
velnor_wineserver
"$VELNOR_WINE" "$BUILD/tests/e2e/velnor_winbench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
  --minimal "$(winepath_of "$BUILD/tests/e2e/velnor_minimal_window.exe")" \
  --work "$(winepath_of "$BUILD/tests/e2e")\\work-bench" --reps "${REPS:-15}" </dev/null
