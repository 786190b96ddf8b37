#!/bin/sh
# Builds and runs the benchmarks, headless: frames per second of the frame
# loop drawing offscreen with the shipped OpenGL driver, the time of a video
# export, and AVI decoding.
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

# Video export: 20 s of a 640 × 480 presentation at 60 fps with a 20 s
# tone as its music, into an MP4 (H.264 and AAC).
cmake --build build --target export_bench
music=$(mktemp -d)
trap 'rm -rf "$plugins" "$music"' EXIT
ffmpeg -nostdin -loglevel error -f lavfi -i sine=frequency=440:duration=20 -ac 2 -c:a libmp3lame "$music/tone.mp3"
SDL_VIDEODRIVER=offscreen build/bench/export_bench "$plugins" "$music/tone.mp3" 2>/dev/null

# AVI decoding through AviReaderC next to the ffmpeg command on the same
# 640 × 480 clips: Motion JPEG and Cinepak (whose encoder is slow, hence
# fewer frames; the bench loops over each clip).
cmake --build build --target avidecode_bench
clips=$(mktemp -d)
trap 'rm -rf "$plugins" "$music" "$clips"' EXIT
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 250 -c:v mjpeg -q:v 3 "$clips/mjpeg640.avi"
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 50 -c:v cinepak "$clips/cinepak640.avi"
build/bench/avidecode_bench "$clips/mjpeg640.avi" "$clips/cinepak640.avi"
