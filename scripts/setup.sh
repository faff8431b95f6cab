#!/usr/bin/env bash
# Installs what building, running and testing need on a fresh Debian machine (as root).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev lld llvm libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev fonts-liberation2 poppler-utils qt6-translations-l10n
          desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin xvfb xdotool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
