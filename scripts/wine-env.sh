#!/usr/bin/env bash
# Source this file: it sets up a Wine prefix of the project's own under build/ and exports what
# running Velnor.exe under Wine needs. VELNOR_DPI=144 selects a second prefix whose screen
# reports 144 dots per inch. VELNOR_PREFIX_BASE puts the prefixes in another folder, so that
# two test runs on one machine never share a wineserver (or its clipboard).
#   source scripts/wine-env.sh && velnor_wine_prefix && "$VELNOR_WINE" build/.../Velnor.exe
VELNOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELNOR_DPI="${VELNOR_DPI:-96}"
VELNOR_PREFIX_BASE="${VELNOR_PREFIX_BASE:-$VELNOR_ROOT/build}"
export VELNOR_PREFIX_BASE
if [ "$VELNOR_DPI" = 96 ]; then
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix}"
else
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix-$VELNOR_DPI}"
fi
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko: this machine cannot fetch them, and the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its ANSI code page from the host locale: ja_JP.UTF-8 gives 932.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export VELNOR_WINE=/usr/lib/wine/wine64
export VELNOR_WINESERVER=/usr/lib/wine/wineserver

# Creates the prefix on first use (about 10 s) and applies the project's registry settings.
velnor_wine_prefix() {
  local ready="$WINEPREFIX/.velnor-ready-2-$VELNOR_DPI"
  if [ -f "$ready" ]; then return 0; fi
  mkdir -p "$WINEPREFIX"
  "$VELNOR_WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
  # Wine's own fonts (Marlett draws the caption buttons) are found only in the prefix's
  # Fonts folder; Debian ships them apart, in fonts-wine.
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -f /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  local dpi_hex reg
  dpi_hex=$(printf '%08x' "$VELNOR_DPI")
  reg="$WINEPREFIX/velnor.reg"
  # Managed=N: without a window manager Wine would wait up to 2 s whenever a top-level window
  # closes. The font replacements give the Japanese user-interface fonts real glyphs.
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"Meiryo"="IPAPGothic"
"Meiryo UI"="IPAPGothic"
"Yu Gothic UI"="IPAPGothic"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$dpi_hex

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$dpi_hex
REG
  "$VELNOR_WINE" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 </dev/null
  "$VELNOR_WINESERVER" -w
  touch "$ready"
}

# A Unix path as Wine sees it (drive Z: is the root of the Unix file system).
winepath_of() {
  local p
  p="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
  printf 'Z:%s' "${p//\//\\}"
}

# Starts an Xvfb display of our own when there is none (CI has none); velnor_display_stop
# ends it again, by its process id.
velnor_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  VELNOR_XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

velnor_display_stop() {
  if [ -n "${VELNOR_XVFB_PID:-}" ]; then
    kill "$VELNOR_XVFB_PID" 2>/dev/null || true
    wait "$VELNOR_XVFB_PID" 2>/dev/null || true
    unset VELNOR_XVFB_PID
  fi
}

# Keeps the prefix's wineserver running between the programs of a test run (each start is
# then quick); velnor_wineserver_stop ends it and every program left in the prefix.
# Wine's own services start with it here too: started later by a test's program, they would
# keep that test's output pipe open for as long as the wineserver runs.
velnor_wineserver() {
  "$VELNOR_WINESERVER" -p >/dev/null 2>&1 </dev/null || true
  "$VELNOR_WINE" wineboot >/dev/null 2>&1 </dev/null || true
}

velnor_wineserver_stop() {
  "$VELNOR_WINESERVER" -k >/dev/null 2>&1 </dev/null || true
}
