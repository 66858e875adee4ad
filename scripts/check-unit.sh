#!/usr/bin/env bash
# Native build of the portable logic and its unit tests: a Debug build, then a Release build
# once as well, since optimised builds raise warnings (turned into errors) that Debug does not.
# VELNOR_NATIVE_BUILD and VELNOR_NATIVE_RELEASE_BUILD give a run build folders of its own; the
# release folder defaults to the debug one with "-release" appended.
set -euo pipefail
cd "$(dirname "$0")/.."
debug="${VELNOR_NATIVE_BUILD:-build/native}"
release="${VELNOR_NATIVE_RELEASE_BUILD:-$debug-release}"
for build in "$debug:Debug" "$release:Release"; do
  dir="${build%:*}"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="${build##*:}" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
  ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
done
