#!/usr/bin/env bash
# Cross-builds Velnor.exe with mingw-w64, checks that it needs no DLL beyond the system's, and
# runs the end-to-end tests on the real window under Wine (at 96 and at 144 dots per inch, with
# a tall Japanese user-interface font, and in a prefix whose locale is not Japanese).
# Needs no display: it starts its own Xvfb when DISPLAY is unset. VELNOR_WINDOWS_BUILD and
# VELNOR_PREFIX_BASE (scripts/wine-env.sh) give a run a build and Wine prefixes of its own;
# VELNOR_E2E_FILTER (a ctest -R pattern, e.g. 'e2e\.download_') runs only the cases it names.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${VELNOR_WINDOWS_BUILD:-build/windows}"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake -DCMAKE_BUILD_TYPE=Release \
      -DVELNOR_TESTS=OFF -DVELNOR_E2E=ON >/dev/null
cmake --build "$BUILD" -j2

EXE="$BUILD/src/win32/Velnor.exe"
# Only DLLs that every Windows system has.
bad=$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' |
      grep -v -x -E 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMCTL32.DLL|SHELL32.DLL|SHLWAPI.DLL|ADVAPI32.DLL|MSVCRT.DLL|OLE32.DLL|COMDLG32.DLL|WINHTTP.DLL' || true)
if [ -n "$bad" ]; then
  echo "Velnor.exe depends on DLLs outside the system: $bad" >&2
  exit 1
fi
size=$(stat -c %s "$EXE")
echo "Velnor.exe: $size bytes"
if [ "$size" -ge 1048576 ]; then
  echo "Velnor.exe is 1 MB or more" >&2
  exit 1
fi

source scripts/wine-env.sh
cleanup() {
  ( source scripts/wine-env.sh; velnor_wineserver_stop )
  ( export VELNOR_DPI=144; source scripts/wine-env.sh; velnor_wineserver_stop )
  for dpi in 96 144; do ( export VELNOR_DPI=$dpi VELNOR_UIFONT=noto; source scripts/wine-env.sh; velnor_wineserver_stop ); done
  ( export VELNOR_LOCALE=C; source scripts/wine-env.sh; velnor_wineserver_stop )
  velnor_display_stop
}
trap cleanup EXIT
velnor_display
velnor_wine_prefix
velnor_wineserver
( export VELNOR_DPI=144; source scripts/wine-env.sh; velnor_wine_prefix; velnor_wineserver )
# The prefixes whose user-interface font is as tall as Japanese Windows' own.
for dpi in 96 144; do
  ( export VELNOR_DPI=$dpi VELNOR_UIFONT=noto; source scripts/wine-env.sh; velnor_wine_prefix; velnor_wineserver )
done
# The prefix whose locale is not Japanese (the settings file on a Windows of another language).
( export VELNOR_LOCALE=C; source scripts/wine-env.sh; velnor_wine_prefix; velnor_wineserver )

if [ -n "${VELNOR_E2E_FILTER:-}" ]; then
  ctest --test-dir "$BUILD" --output-on-failure -R "$VELNOR_E2E_FILTER"
else
  ctest --test-dir "$BUILD" --output-on-failure
fi
