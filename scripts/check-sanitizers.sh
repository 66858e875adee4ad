#!/usr/bin/env bash
# The unit tests again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer;
# any report stops the run.
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DVELNOR_SANITIZE=ON >/dev/null
cmake --build build/sanitize -j"$(nproc)"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build/sanitize --output-on-failure -j"$(nproc)"
