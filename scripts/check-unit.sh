#!/usr/bin/env bash
# Native build of the portable logic and its unit tests.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B "${VELNOR_NATIVE_BUILD:-build/native}" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "${VELNOR_NATIVE_BUILD:-build/native}" -j"$(nproc)"
ctest --test-dir "${VELNOR_NATIVE_BUILD:-build/native}" --output-on-failure -j"$(nproc)"
