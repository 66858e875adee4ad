#!/usr/bin/env bash
# Sets up a Debian 12 machine (installs what is missing) and runs every test of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
for stage in unit sanitizers; do
  echo "=== $stage"
  bash "scripts/check-$stage.sh"
done
echo "=== all checks passed"
