#!/usr/bin/env bash
# Takes a picture of Velnor's main window as it stands after start, inside a Wine virtual
# desktop (which draws the frame and title bar), and saves it as docs/screenshot.png.
# --dpi-change N: the window is then told that it moved to a monitor of N dots per inch, and
# the picture is saved as docs/screenshot-Ndpi-after-change.png.
# --download: the download window during a job, fetching a series from the end-to-end cases'
# loopback server (tests/e2e/download_server.py), saved as docs/screenshot-download.png.
# --font noto: in the Wine prefix whose user-interface font is Noto Sans CJK JP, as tall as
# the Japanese fonts of Windows 10 and 11 (the README's picture); --font ipa (IPAGothic) is the
# default.
set -euo pipefail
cd "$(dirname "$0")/.."
DPI_CHANGE=""
DOWNLOAD=""
while [ $# -gt 0 ]; do
  case "$1" in
    --dpi-change) DPI_CHANGE="${2:?--dpi-change needs the new DPI}"; shift 2 ;;
    --download) DOWNLOAD=1; shift ;;
    --font) export VELNOR_UIFONT="${2:?--font needs ipa or noto}"; shift 2 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done
BUILD="${VELNOR_WINDOWS_BUILD:-build/windows}"
if [ -n "$DPI_CHANGE$DOWNLOAD" ]; then
  cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
        -DVELNOR_TESTS=OFF -DVELNOR_E2E=ON >/dev/null
  cmake --build "$BUILD" -j2 --target Velnor velnor_dpichange velnor_dlbench
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
if [ -n "$DOWNLOAD" ]; then
  # A series of small pictures with one number missing and two large ones that arrive slowly:
  # some done, one not found, two under way, the rest waiting.
  WIDTH=800
  HEIGHT=600
  OUT=docs/screenshot-download.png
  serve="$(pwd)/$BUILD/screenshot-server"
  rm -rf "$serve" && mkdir -p "$serve/root"
  for n in $(seq -w 0 29); do
    case $n in 04) continue ;; 07|09) size=400000 ;; *) size=$((30000 + 10#$n * 977)) ;; esac
    head -c "$size" /dev/urandom >"$serve/root/photo$n.jpg"
  done
  python3 tests/e2e/download_server.py --root "$serve/root" --log "$serve/log" --port-file "$serve/port" \
      --stop-file "$serve/stop" --timeout 120 >/dev/null &
  trap 'touch "$serve/stop"; velnor_wineserver_stop; velnor_display_stop' EXIT
  for i in $(seq 1 50); do [ -f "$serve/port" ] && break; sleep 0.1; done
  rm -rf "$BUILD/screenshot/保存" && mkdir -p "$BUILD/screenshot/保存"
  "$VELNOR_WINE" explorer "/desktop=velnor,${WIDTH}x${HEIGHT}" "$(winepath_of "$BUILD/tests/e2e/velnor_dlbench.exe")" \
      --exe "$(winepath_of "$BUILD/src/win32/Velnor.exe")" --work "$(winepath_of "$BUILD/screenshot")" \
      --url "http://127.0.0.1:$(cat "$serve/port")/slow/photo" --last 29 --ext .jpg \
      --folder "$(winepath_of "$BUILD/screenshot/保存")" --connections 2 --shot 4 >/dev/null 2>&1 &
  sleep 12
  import -window root -crop "${WIDTH}x${HEIGHT}+0+0" +repage "$OUT"
  echo "saved $OUT"
  exit 0
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
