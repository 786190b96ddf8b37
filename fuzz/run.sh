#!/bin/sh
# fuzz/run.sh SECONDS [TARGET...]: builds the fuzz targets (build.sh) and runs
# each for SECONDS, one after the other, within the memory bounds every input
# must stay under. Corpora grow in build-fuzz/corpus/<target> (starting from
# fuzz/seeds/<target>); crashes, hangs, leaks and out-of-memory inputs are
# kept in fuzz/findings/<target>/, and fuzzing goes on after each.
# Logs: build-fuzz/logs/<target>.log. Runs of different targets may go in
# parallel: TIRAVO_FUZZ_NO_BUILD=1 fuzz/run.sh 600 track & ...
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SECONDS_EACH=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
TARGETS=${*:-document avireader moviereader track docdump sounddecoder image font}
BUILD_DIR=${TIRAVO_FUZZ_BUILD:-build-fuzz}
# TIRAVO_FUZZ_NO_BUILD=1 skips the build, for several run.sh at once.
[ -n "$TIRAVO_FUZZ_NO_BUILD" ] || fuzz/build.sh "$BUILD_DIR"
for TARGET in $TARGETS; do
  CORPUS="$ROOT/$BUILD_DIR/corpus/$TARGET"
  FINDINGS="$ROOT/fuzz/findings/$TARGET"
  WORK="$ROOT/$BUILD_DIR/work/$TARGET"
  mkdir -p "$CORPUS" "$FINDINGS" "$WORK" "$ROOT/$BUILD_DIR/logs"
  echo "fuzzing $TARGET for $SECONDS_EACH s"
  # Fork mode keeps going after a crash; each finding is a file in FINDINGS.
  # The worker logs (fuzz-N.log) land in WORK.
  (cd "$WORK" && "$ROOT/$BUILD_DIR/fuzz/fuzz_$TARGET" "$CORPUS" "$ROOT/fuzz/seeds/$TARGET" \
      -dict="$ROOT/fuzz/dictionary.txt" -max_total_time="$SECONDS_EACH" \
      -rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=10 \
      -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
      -artifact_prefix="$FINDINGS/" -print_final_stats=1) >"$ROOT/$BUILD_DIR/logs/$TARGET.log" 2>&1 || true
  grep -E "cov:|stat::" "$ROOT/$BUILD_DIR/logs/$TARGET.log" | tail -8
  echo "findings: $(ls "$FINDINGS" | wc -l) file(s) in $FINDINGS"
done
