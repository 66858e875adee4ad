#!/usr/bin/env bash
# Takes a picture of Velnor's main window as it stands after start, inside a Wine virtual
# desktop (which draws the frame and title bar), and saves it as docs/screenshot.png.
# --dpi-change N: the window is then told that it moved to a monitor of N dots per inch, and
# the picture is saved as docs/screenshot-Ndpi-after-change.png.
# --font noto: in the Wine prefix whose user-interface font is Noto Sans CJK JP, as tall as
# the Japanese fonts of Windows 10 and 11 (the README's picture); --font ipa (IPAGothic) is the
# default.
set -euo pipefail
cd "$(dirname "$0")/.."
DPI_CHANGE=""
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi-change) DPI_CHANGE="${2:?--dpi-change needs the new DPI}"; shift 2 ;;
    --font) export VELNOR_UIFONT="${2:?--font needs ipa or noto}"; shift 2 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done
BUILD="${VELNOR_WINDOWS_BUILD:-build/windows}"
if [ -n "$DPI_CHANGE" ]; then
  cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
        -DVELNOR_TESTS=OFF -DVELNOR_E2E=ON >/dev/null
  cmake --build "$BUILD" -j2 --target Velnor velnor_dpichange
else
  cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
        -DVELNOR_TESTS=OFF >/dev/null
  cmake --build "$BUILD" -j2 --target Velnor
fi
source scripts/wine-env.sh
# Always a display of our own: the picture must not catch other windows.
unset DISPLAY
trap 'velnor_wineserver_stop; velnor_display_stop' EXIT
velnor_display
velnor_wine_prefix
WIDTH=600
HEIGHT=320
OUT=docs/screenshot.png
if [ -n "$DPI_CHANGE" ]; then
  WIDTH=$((WIDTH * DPI_CHANGE / VELNOR_DPI))
  HEIGHT=$((HEIGHT * DPI_CHANGE / VELNOR_DPI))
  OUT="docs/screenshot-${DPI_CHANGE}dpi-after-change.png"
fi
folder="$BUILD/screenshot"
mkdir -p "$folder" docs
cp "$BUILD/src/win32/Velnor.exe" "$folder/"
rm -f "$folder/Velnor.ini"
( cd "$folder" && "$VELNOR_WINE" explorer "/desktop=velnor,${WIDTH}x${HEIGHT}" Velnor.exe >/dev/null 2>&1 ) &
# Pixels reach the X display only once the program has gone idle.
sleep 8
if [ -n "$DPI_CHANGE" ]; then
  # In the same virtual desktop, where it finds the window.
  "$VELNOR_WINE" explorer "/desktop=velnor,${WIDTH}x${HEIGHT}" "$(winepath_of "$BUILD/tests/e2e/velnor_dpichange.exe")" \
      "$VELNOR_DPI" "$DPI_CHANGE" >/dev/null 2>&1
  sleep 3
fi
import -window root -crop "${WIDTH}x${HEIGHT}+0+0" +repage "$OUT"
echo "saved $OUT"
