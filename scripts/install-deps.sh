#!/usr/bin/env bash
# Installs what building and testing needs on a Debian 12 machine; quick when all is present.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake g++ clang libgtest-dev libbenchmark-dev libclang-rt-14-dev clang-tidy cppcheck \
         g++-mingw-w64-x86-64 wine64 xvfb xdotool xclip locales imagemagick fonts-ipafont-gothic \
         fp-utils-3.2.2 zip binutils-mingw-w64-x86-64 fonts-wine fonts-noto-cjk python3; do
  have "$p" || need+=("$p")
done
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
# Wine reads its ANSI code page from the host locale: ja_JP.UTF-8 gives 932 (Shift_JIS).
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $SUDO sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
