#!/usr/bin/env bash
# The release as a user gets it: builds out/Velnor-<version>.zip with scripts/release.sh,
# which stops at the first fault: a DLL outside Windows, a help page, link or message
# missing from the help, a readme that is not Shift_JIS with CRLF, a file too many or too few.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/release.sh
