#!/bin/sh
# Builds everything and runs every test, once plainly and once under
# AddressSanitizer and UndefinedBehaviorSanitizer. Tests labelled "long"
# (a video above 1 GiB, about a minute) run in the plain build only. Says
# how long each step took.
set -eu
cd "$(dirname "$0")/.."

started=$(date +%s)
step_started=$started
step() {
    name=$1
    shift
    "$@"
    now=$(date +%s)
    echo "== $name: $((now - step_started)) s (total $((now - started)) s)"
    step_started=$now
}

step "packages" tools/install-deps.sh

step "plain configure" cmake -S . -B build -G Ninja -DTIRAVO_WERROR=ON
step "plain build" cmake --build build
step "plain tests" ctest --test-dir build --output-on-failure

step "sanitizer configure" cmake -S . -B build-asan -G Ninja -DTIRAVO_WERROR=ON -DTIRAVO_SANITIZE=ON
step "sanitizer build" cmake --build build-asan
step "sanitizer tests" env ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure --label-exclude long
