#!/usr/bin/env bash
# Static analysis of src/: clang-tidy (.clang-tidy, src/win32/.clang-tidy) and cppcheck
# (.cppcheck-suppressions.xml), over the portable code as it builds natively and over the
# Win32 code as it builds for x86_64-w64-mingw32. Any finding fails the check.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
native=build/static-native
win32=build/static-win32
logs=build/static-logs
mkdir -p "$logs"

# Compilation databases only: nothing is built.
cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DVELNOR_TESTS=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
toolchain=()  # given once: CMake keeps it in the cache
[ -f "$win32/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw.cmake)
cmake -S . -B "$win32" -DCMAKE_BUILD_TYPE=Debug "${toolchain[@]}" -DVELNOR_TESTS=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

# clang finds the mingw-w64 C headers by itself, but not the C++ library of the cross g++.
mingw_cxx_includes=()
while read -r dir; do
  mingw_cxx_includes+=("-extra-arg=-isystem$dir")
done < <(echo | x86_64-w64-mingw32-g++ -std=c++20 -E -x c++ - -v 2>&1 |
         sed -n '/#include <...> search starts here/,/End of search list/p' | grep '/include/c++' | sed 's/^ *//')

run_tidy=$(command -v run-clang-tidy || command -v run-clang-tidy-14)
status=0

report() {  # name, log, exit status
  if [ "$3" -eq 0 ]; then
    echo "$1: clean"
  else
    echo "$1: FINDINGS" >&2
    sed 's/\x1b\[[0-9;]*m//g' "$2" | grep -E '(warning|error|style|performance|portability):' -A3 >&2 || cat "$2" >&2
    status=1
  fi
}

rc=0
"$run_tidy" -p "$native" -quiet -j "$jobs" 'src/(base|ui|expand|clipboard|settings|app|search)/' >"$logs/tidy-native.log" 2>&1 || rc=$?
report "clang-tidy, portable code" "$logs/tidy-native.log" "$rc"

rc=0
"$run_tidy" -p "$win32" -quiet -j "$jobs" "${mingw_cxx_includes[@]}" 'src/win32/' >"$logs/tidy-win32.log" 2>&1 || rc=$?
report "clang-tidy, Win32 code" "$logs/tidy-win32.log" "$rc"

cppcheck_common=(--enable=warning,performance,portability,style --std=c++20 --inline-suppr
                 --suppress-xml=.cppcheck-suppressions.xml --error-exitcode=1 -j "$jobs" --quiet
                 --template='{file}:{line}: {severity}: {message} [{id}]')
rc=0
cppcheck "${cppcheck_common[@]}" --project="$native/compile_commands.json" >"$logs/cppcheck-native.log" 2>&1 || rc=$?
report "cppcheck, portable code" "$logs/cppcheck-native.log" "$rc"

rc=0
cppcheck "${cppcheck_common[@]}" --library=windows --platform=win64 -D_WIN32 -D_WIN64 -D__MINGW32__ \
  -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -Isrc -Isrc/win32/res src/win32/*.cpp \
  >"$logs/cppcheck-win32.log" 2>&1 || rc=$?
report "cppcheck, Win32 code" "$logs/cppcheck-win32.log" "$rc"

exit "$status"
