#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
if [ -x build/ordivex-varne ]; then
  exec build/ordivex-varne "$@"
else
  echo "Built the libraries and tests; the main window is not part of the program yet, so there is nothing to start."
fi
