#!/usr/bin/env bash
# Sets up a Debian 12 machine (installs what is missing) and runs every test of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build
log=build/test-run.log
: >"$log"
# Quick native checks first, then the Windows program under Wine, then the longer runs.
for stage in unit sanitizers static windows release fuzz; do
  echo "=== $stage ($(date +%T))"
  bash "scripts/check-$stage.sh" 2>&1 | tee -a "$log"
done
# Every stage stops the run on its first failure, so reaching here means none failed; count
# the test cases that ctest ran (unit tests three times: Debug, Release and under the
# sanitizers; the Windows program's end-to-end cases).
passed=$(awk '/tests passed, 0 tests failed out of/ { n += $NF } END { print n + 0 }' "$log")
echo "=== all checks passed ($(date +%T))"
echo "summary: ${passed:-0} passed, 0 failed"
