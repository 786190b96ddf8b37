#!/bin/sh
# Builds everything and plays the bundled example presentation: in a window
# when there is a display, otherwise rendered offline into a video file.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake -S . -B build -G Ninja -DTIRAVO_WERROR=ON
cmake --build build

cd build
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec ./tiravo examples/showcase.doc
fi
echo "No display here: rendering the example presentation offline instead."
./tiravo --render showcase.mp4 examples/showcase.doc
echo "The example presentation, with its music, is in $(pwd)/showcase.mp4"
