#!/usr/bin/env bash
# Makes the documentation's pictures in docs/images from a building the
# wizard designs, with the Qt back end offscreen: run it again when the
# program's look changes, look at them and commit them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ov_doc_pictures
mkdir -p docs/images
OV_DOC_PICTURES="$PWD/docs/images" QT_QPA_PLATFORM=offscreen build/tests/ov_doc_pictures
ls -l docs/images
