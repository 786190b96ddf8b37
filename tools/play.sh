#!/bin/sh
# Builds everything and plays the bundled example presentation.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake -S . -B build -G Ninja -DTIRAVO_WERROR=ON
cmake --build build

echo "Built the document format and the object model. The player program does not exist yet, so there is nothing to play."
