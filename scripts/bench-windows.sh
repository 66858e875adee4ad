#!/usr/bin/env bash
# Speed of Velnor.exe under Wine: cross-builds, then prints the figures of tests/e2e/bench_window.cpp
# (the expand command, start-up) and tests/e2e/bench_copy_window.cpp (the copy command).
# VELNOR_WINDOWS_BUILD and VELNOR_PREFIX_BASE (scripts/wine-env.sh) give a run a build and Wine
# prefixes of its own; it starts its own Xvfb when DISPLAY is unset.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${VELNOR_WINDOWS_BUILD:-build/windows}"
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
"$VELNOR_WINE" "$BUILD/tests/e2e/velnor_copybench.exe" --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" \
  --work "$(winepath_of "$BUILD/tests/e2e")\\work-copybench" --reps "${REPS:-15}" </dev/null
