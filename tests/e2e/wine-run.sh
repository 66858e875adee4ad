#!/usr/bin/env bash
# Runs a Windows program of the build under the project's Wine prefix (ctest's emulator).
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
velnor_wine_prefix
exec "$VELNOR_WINE" "$@"
