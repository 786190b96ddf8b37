#!/bin/sh
# Builds everything and plays the bundled example presentation.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake -S . -B build -G Ninja -DTIRAVO_WERROR=ON
cmake --build build

cat <<'TEXT'
Built build/tiravo and the OpenGL driver plug-in in build/plugins.
The bundled example presentation is not there yet. To play a document:
    cd build && ./tiravo --windowed /path/to/document
or render it to PNG frames without a display:
    cd build && ./tiravo --render frames /path/to/document
TEXT
