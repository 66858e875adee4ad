#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each from its seed corpus for a bounded time, two at a
# time. Any crash, sanitizer report, failed check, leak or hang fails the run; the input that
# caused it is left in build/fuzz/artifacts/.
#
#   FUZZ_SECONDS  time per target (default 30)
#   FUZZ_TARGETS  which targets, by name (default: every tests/fuzz/*.cpp)
#   FUZZ_JOBS     targets run at once (default 2, at most the number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
cores=$(nproc)
parallel=${FUZZ_JOBS:-2}
(( parallel > cores )) && parallel=$cores
build=build/fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELNOR_TESTS=OFF -DVELNOR_FUZZERS=ON \
  -DVELNOR_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-D_GLIBCXX_ASSERTIONS" >/dev/null
cmake --build "$build" -j"$cores"

if [ -n "${FUZZ_TARGETS:-}" ]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  targets=()
  for src in tests/fuzz/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1:report_error_type=1
mkdir -p "$build/logs" "$build/artifacts"

run_target() {
  local t=$1 exe="$build/tests/$1" work="$build/work/$1"
  rm -rf "$work" && mkdir -p "$work"
  local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
              -artifact_prefix="$build/artifacts/$t-")
  [ -f "tests/fuzz/$t.dict" ] && args+=(-dict="tests/fuzz/$t.dict")
  local corpora=("$work")
  [ -d "tests/fuzz/corpus/$t" ] && corpora+=("tests/fuzz/corpus/$t")
  "$exe" "${args[@]}" "${corpora[@]}" >"$build/logs/$t.log" 2>&1
}

status=0
ran=()
for t in "${targets[@]}"; do
  if [ ! -x "$build/tests/$t" ]; then
    echo "fuzz: no target $t" >&2
    status=1
    continue
  fi
  while (( $(jobs -rp | wc -l) >= parallel )); do wait -n || true; done
  rm -f "$build/logs/$t.rc"
  ( if run_target "$t"; then echo 0; else echo 1; fi >"$build/logs/$t.rc" ) &
  ran+=("$t")
done
wait

for t in "${ran[@]}"; do
  if [ "$(cat "$build/logs/$t.rc" 2>/dev/null)" = 0 ]; then result=ok; else result=FAILED; status=1; fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$t.log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/logs/$t.log" | tail -1)
  printf '%-28s %-6s %12s executions  %8s/s\n' "$t" "$result" "${runs:-?}" "${speed:-?}"
  if [ "$result" = FAILED ]; then
    grep -E 'check failed|ERROR|SUMMARY|runtime error|Test unit written' -A2 "$build/logs/$t.log" | head -40 >&2 || true
    echo "full log: $build/logs/$t.log" >&2
  fi
done
exit "$status"
