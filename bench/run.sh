#!/bin/sh
# Builds and runs the benchmarks, headless: frames per second of the frame
# loop drawing offscreen with the shipped OpenGL driver.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target framerate_bench

plugins=$(mktemp -d)
trap 'rm -rf "$plugins"' EXIT
ln -s "$PWD/build/plugins/opengl.so" "$plugins/opengl.so"
ln -s "$PWD/build/tests/plugins-good/testrect.so" "$plugins/testrect.so"
SDL_VIDEODRIVER=offscreen build/bench/framerate_bench "$plugins" 2>/dev/null
