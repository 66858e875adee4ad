#!/usr/bin/env bash
# Takes a picture of Velnor's main window as it stands after start, inside a Wine virtual
# desktop (which draws the frame and title bar), and saves it as docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=build/windows
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVELNOR_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j2 --target Velnor
source scripts/wine-env.sh
# Always a display of our own: the picture must not catch other windows.
unset DISPLAY
trap 'velnor_wineserver_stop; velnor_display_stop' EXIT
velnor_display
velnor_wine_prefix
WIDTH=600
HEIGHT=320
folder="$BUILD/screenshot"
mkdir -p "$folder" docs
cp "$BUILD/src/win32/Velnor.exe" "$folder/"
rm -f "$folder/Velnor.ini"
( cd "$folder" && "$VELNOR_WINE" explorer "/desktop=velnor,${WIDTH}x${HEIGHT}" Velnor.exe >/dev/null 2>&1 ) &
# Pixels reach the X display only once the program has gone idle.
sleep 8
import -window root -crop "${WIDTH}x${HEIGHT}+0+0" +repage docs/screenshot.png
echo "saved docs/screenshot.png"
