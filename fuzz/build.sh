#!/bin/sh
# Builds the libFuzzer targets with clang 14 into build-fuzz (or $1):
# build-fuzz/fuzz/fuzz_document, fuzz_avireader, fuzz_moviereader, fuzz_track,
# fuzz_docdump, fuzz_sounddecoder, fuzz_image, fuzz_font.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh clang-14 libclang-rt-14-dev
BUILD_DIR=${1:-build-fuzz}
# clang's warnings differ from the main compiler's; they do not fail this build.
CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTIRAVO_FUZZ=ON -DBUILD_TESTING=OFF -DTIRAVO_WERROR=OFF >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_document fuzz_avireader fuzz_moviereader fuzz_track fuzz_docdump fuzz_sounddecoder fuzz_image fuzz_font
