#!/bin/sh
# Builds everything and runs every test, once plainly and once under
# AddressSanitizer and UndefinedBehaviorSanitizer. Tests labelled "long"
# (a video above 1 GiB, about a minute) run in the plain build only.
set -eu
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake -S . -B build -G Ninja -DTIRAVO_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure

cmake -S . -B build-asan -G Ninja -DTIRAVO_WERROR=ON -DTIRAVO_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --label-exclude long
