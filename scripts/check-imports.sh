#!/usr/bin/env bash
# Lists the DLLs a Windows program imports and fails when one of them is not part of Windows
# itself: Velnor.exe must run from its folder alone, with no runtime DLL beside it.
#   bash scripts/check-imports.sh [path/to/Velnor.exe]
# Without a path it cross-builds Velnor.exe first (as scripts/release.sh does).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
objdump=x86_64-w64-mingw32-objdump

exe="${1:-}"
if [ -z "$exe" ]; then
  build="$root/build/release-mingw"
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DVELNOR_TESTS=OFF >/dev/null
  cmake --build "$build" --target Velnor -j2 >/dev/null
  exe="$build/src/win32/Velnor.exe"
fi
[ -f "$exe" ] || { echo "imports: no such file: $exe" >&2; exit 1; }

# DLLs every Windows since 7 has in its system folder (the C runtime too: msvcrt, and the
# Universal CRT with its api-ms-win-crt-* forwarders). Names compare without case.
allowed='^(kernel32|user32|gdi32|shell32|shlwapi|comctl32|comdlg32|advapi32|ole32|winhttp|oleaut32|uxtheme|version|imm32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+|api-ms-win-core-[a-z0-9-]+)\.dll$'

dlls="$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')"
[ -n "$dlls" ] || { echo "imports: $exe imports no DLL at all: not a Windows program?" >&2; exit 1; }

bad=0
while IFS= read -r dll; do
  if printf '%s\n' "$dll" | tr 'A-Z' 'a-z' | grep -qE "$allowed"; then
    echo "  system   $dll"
  else
    echo "  FOREIGN  $dll"
    bad=1
  fi
done <<<"$dlls"
if [ "$bad" -ne 0 ]; then
  echo "imports: $(basename "$exe") needs a DLL that Windows does not have (link it statically)" >&2
  exit 1
fi
echo "imports: $(basename "$exe") needs only system DLLs ($(stat -c %s "$exe") bytes)"
