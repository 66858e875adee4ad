#!/usr/bin/env bash
# Sets up a Debian 12 machine (installs what is missing) and runs every test of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Quick native checks first, then the Windows program under Wine, then the longer runs.
for stage in unit sanitizers static windows release fuzz; do
  echo "=== $stage ($(date +%T))"
  bash "scripts/check-$stage.sh"
done
echo "=== all checks passed"
