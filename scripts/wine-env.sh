#!/usr/bin/env bash
# Source this file: it sets up a Wine prefix of the project's own under build/ and exports what
# running Velnor.exe under Wine needs. VELNOR_DPI=144 selects a second prefix whose screen
# reports 144 dots per inch. VELNOR_UIFONT=noto selects prefixes (one per DPI) whose
# user-interface font is Noto Sans CJK JP, as tall as the Japanese fonts of Windows 10 and 11;
# the others draw with IPAGothic. VELNOR_LOCALE=C selects a prefix whose locale is not Japanese
# (LANG=C.UTF-8, so Wine's ANSI code page is not 932), with IPAGothic copied into its Fonts
# folder, as a Japanese user on a Windows of another language has. VELNOR_PREFIX_BASE puts the prefixes in another folder, so
# that two test runs on one machine never share a wineserver (or its clipboard).
#   source scripts/wine-env.sh && velnor_wine_prefix && "$VELNOR_WINE" build/.../Velnor.exe
VELNOR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELNOR_DPI="${VELNOR_DPI:-96}"
VELNOR_UIFONT="${VELNOR_UIFONT:-ipa}"
VELNOR_PREFIX_BASE="${VELNOR_PREFIX_BASE:-$VELNOR_ROOT/build}"
export VELNOR_PREFIX_BASE
VELNOR_LOCALE="${VELNOR_LOCALE:-ja}"
if [ "$VELNOR_LOCALE" = C ]; then
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix-c-$VELNOR_DPI}"
elif [ "$VELNOR_UIFONT" = noto ]; then
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix-noto-$VELNOR_DPI}"
elif [ "$VELNOR_DPI" = 96 ]; then
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix}"
else
  export WINEPREFIX="${VELNOR_WINEPREFIX:-$VELNOR_PREFIX_BASE/wineprefix-$VELNOR_DPI}"
fi
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko: this machine cannot fetch them, and the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes its ANSI code page from the host locale: ja_JP.UTF-8 gives 932.
if [ "$VELNOR_LOCALE" = C ]; then
  export LANG=C.UTF-8
  export LC_ALL=C.UTF-8
else
  export LANG=ja_JP.UTF-8
  export LC_ALL=ja_JP.UTF-8
fi
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
  # Under another locale Wine looks for no Japanese font of the system's: one in the prefix.
  if [ "$VELNOR_LOCALE" = C ]; then
    cp -f /usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
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
  if [ "$VELNOR_UIFONT" = noto ]; then velnor_noto_fonts; fi
  "$VELNOR_WINESERVER" -w
  touch "$ready"
}

# The user-interface fonts of Japanese Windows, drawn with Noto Sans CJK JP; and the fonts of
# the window metrics named as Windows 10 and 11 name them (Yu Gothic UI, 9 points), instead of
# Wine's "MS Shell Dlg", so that every program in the prefix, through
# SystemParametersInfo(SPI_GETNONCLIENTMETRICS), uses the tall font. The file is UTF-16 (a
# REGEDIT4 file is read in the ANSI code page, which would garble the Japanese names).
velnor_noto_fonts() {
  local family="Noto Sans CJK JP" reg="$WINEPREFIX/velnor-noto.reg" face metrics name
  # A LOGFONTW: height -12 (9 points at 96 dpi; Wine scales it to the screen), weight 400,
  # SHIFTJIS_CHARSET, then the face name in UTF-16, padded to 32 characters.
  face=$(printf 'Yu Gothic UI' | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
  face="$face$(printf ',00,00%.0s' $(seq $((32 - 12))))"
  metrics="hex:f4,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,00,00,00,80,00,00,00,22,$face"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for name in "MS UI Gothic" "MS Gothic" "MS PGothic" "ＭＳ ゴシック" "ＭＳ Ｐゴシック" \
                "Meiryo" "Meiryo UI" "メイリオ" "Yu Gothic" "Yu Gothic UI" "游ゴシック"; do
      printf '"%s"="%s"\r\n' "$name" "$family"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n'
    for name in MessageFont MenuFont StatusFont CaptionFont SmCaptionFont IconFont; do
      printf '"%s"=%s\r\n' "$name" "$metrics"
    done
  } | { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$reg"
  "$VELNOR_WINE" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 </dev/null
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
