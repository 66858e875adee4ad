#!/usr/bin/env bash
# Builds the release zip out/Velnor-<version>.zip: a folder Velnor holding Velnor.exe,
# Velnor.chm and readme.txt. No installer: the folder goes wherever the user likes, and
# Velnor.ini appears beside the exe the first time the program ends.
#   bash scripts/release.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh

version="$(sed -n 's/^#define VELNOR_VERSION_TEXT "\(.*\)"$/\1/p' src/win32/res/version.h)"
[ -n "$version" ] || { echo "release: no version in src/win32/res/version.h" >&2; exit 1; }

build="$root/build/release-mingw"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DVELNOR_TESTS=OFF >/dev/null
cmake --build "$build" --target Velnor -j2
exe="$build/src/win32/Velnor.exe"
bash scripts/check-imports.sh "$exe"
bash scripts/build-help.sh "$build/help" >/dev/null

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Velnor"
cp "$exe" "$stage/Velnor/Velnor.exe"
cp "$build/help/Velnor.chm" "$stage/Velnor/Velnor.chm"
# Notepad on a Japanese Windows reads Shift_JIS with CRLF line ends.
iconv -f UTF-8 -t CP932 docs/release/readme.txt | sed 's/$/\r/' > "$stage/Velnor/readme.txt"
iconv -f CP932 -t UTF-8 "$stage/Velnor/readme.txt" | tr -d '\r' | cmp -s - docs/release/readme.txt \
  || { echo "release: readme.txt does not read back from Shift_JIS" >&2; exit 1; }
[ "$(grep -c $'\r$' "$stage/Velnor/readme.txt")" -eq "$(wc -l < "$stage/Velnor/readme.txt")" ] \
  || { echo "release: readme.txt has a line without CRLF" >&2; exit 1; }

# File times from the last commit, no extra attributes (the help compiler stamps its own time
# inside Velnor.chm, so two builds still differ there).
stamp="$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)"
touch -t "$stamp" "$stage/Velnor" "$stage/Velnor"/*

mkdir -p out
zipfile="$root/out/Velnor-$version.zip"
rm -f "$zipfile"
(cd "$stage" && TZ=UTC zip -q -X -r "$zipfile" Velnor/Velnor.exe Velnor/Velnor.chm Velnor/readme.txt)

listed="$(zip -sf "$zipfile" | sed -n 's/^  //p' | sort | tr '\n' ' ')"
[ "$listed" = "Velnor/Velnor.chm Velnor/Velnor.exe Velnor/readme.txt " ] \
  || { echo "release: unexpected contents: $listed" >&2; exit 1; }
echo "$zipfile ($(stat -c %s "$zipfile") bytes): $listed"
