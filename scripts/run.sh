#!/usr/bin/env bash
# Builds Velnor.exe and starts it. On Linux: installs what is missing, cross-builds with
# mingw-w64 and runs it under Wine with a Japanese locale (ANSI code page 932), using the
# project's own Wine prefix under build/. On Windows (Git Bash or MSYS2 with CMake and a
# compiler): builds with CMake and starts the program directly.
set -euo pipefail
cd "$(dirname "$0")/.."
case "$(uname -s)" in
  MINGW*|MSYS*|CYGWIN*)
    cmake -S . -B build/windows-native -DVELNOR_TESTS=OFF
    cmake --build build/windows-native --config Release --target Velnor
    exe=$(find build/windows-native -name Velnor.exe | head -n 1)
    exec "$exe"
    ;;
esac
bash scripts/install-deps.sh
BUILD=build/windows
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVELNOR_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j2 --target Velnor
source scripts/wine-env.sh
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: set DISPLAY (or run under xvfb-run) to see the window." >&2
  exit 1
fi
velnor_wine_prefix
# The settings file Velnor.ini is written beside the program.
exec "$VELNOR_WINE" "$BUILD/src/win32/Velnor.exe"
