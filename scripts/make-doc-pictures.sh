#!/usr/bin/env bash
# Makes the documentation's pictures in docs/images from a building the
# wizard designs, with the Qt back end offscreen: run it again when the
# program's look changes, look at them and commit them. The pictures are
# made aside and replace those of docs/images only when all were made, so
# that a failed run leaves the old ones and a picture no longer made goes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ov_doc_pictures
made=$(mktemp -d)
trap 'rm -rf "$made"' EXIT
OV_DOC_PICTURES="$made" QT_QPA_PLATFORM=offscreen build/tests/ov_doc_pictures
mkdir -p docs/images
rm -f docs/images/*.png
cp "$made"/*.png docs/images/
ls -l docs/images
