#!/usr/bin/env bash
# The unit tests again, built with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (with the standard library's own bounds assertions); any report stops the run and fails it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/sanitize
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DVELNOR_SANITIZE=ON \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-D_GLIBCXX_ASSERTIONS" >/dev/null
cmake --build "$build" -j"$jobs"
# abort_on_error: a report ends the test process at once, so ctest sees it fail.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1:report_error_type=1
export LSAN_OPTIONS=report_objects=1
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs"
