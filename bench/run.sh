#!/bin/sh
# Builds and runs the benchmarks, headless: frames per second of the frame
# loop drawing offscreen with the shipped OpenGL driver, the time of a video
# export, and AVI parsing and decoding.
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

# vernisk's effects at 1920 x 1080 beside an empty layout: a full-screen
# shader, a text of 200 characters, and that text typed in.
cmake --build build --target vernisk_bench
ln -s "$PWD/build/plugins/vernisk.so" "$plugins/vernisk.so"
SDL_VIDEODRIVER=offscreen build/bench/vernisk_bench "$plugins" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
    2>/dev/null

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
cmake --build build --target videodecode_bench
clips=$(mktemp -d)
trap 'rm -rf "$plugins" "$music" "$clips"' EXIT
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 250 -c:v mjpeg -q:v 3 "$clips/mjpeg640.avi"
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 50 -c:v cinepak "$clips/cinepak640.avi"
build/bench/videodecode_bench "$clips/mjpeg640.avi" "$clips/cinepak640.avi"

# Videos in presentations, at 1920 x 1080: a 1080p30 H.264 video filling the
# picture against the same presentation showing one still picture of it, and
# three 720p videos at different times; 1080p and 4K H.264 decoding and
# converting next to the single-threaded ffmpeg command; converting and
# uploading one frame.
cmake --build build --target videoplayback_bench videodecode_bench textureupload_bench tiravo-doc fliksel opengl
videos=$(mktemp -d)
trap 'rm -rf "$plugins" "$music" "$clips" "$videos"' EXIT
x264() {  # x264 SIZE FRAMES SOURCE OUTPUT
  ffmpeg -nostdin -loglevel error -f lavfi -i "$3=size=$1:rate=30" -frames:v "$2" -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p "$videos/$4"
}
x264 1920x1080 300 testsrc2 hd.avi
x264 1920x1080 300 testsrc2 hd.mp4
x264 1280x720 300 testsrc2 a720.mp4
x264 1280x720 300 smptehdbars b720.mp4
x264 1280x720 300 rgbtestsrc c720.mp4
x264 3840x2160 90 testsrc2 uhd.mp4
x264 3840x2160 90 testsrc2 uhd.avi
ln -s "$PWD/build/plugins/fliksel.so" "$plugins/fliksel.so"

# player FILE X Y SCALE FIRST STEP: a Video Player showing file FILE at (X, Y),
# from frame FIRST on, STEP frames further each 32 ticks (125 ms).
player() {
  printf '{"name": "L%s", "time_segment": [0, 16777216], "effects": [{"class": {"name": "Video Player"},
    "time_segment": [0, 16777216], "params": {"Transform": {"Position": [%s, %s], "Scale": [%s, %s]},
    "Attributes": {"Video": %s}, "Timing": {"Frame": {"track": {"end_mode": "repeat", "keys": [
    {"time": 0, "value": %s, "flags": ["linear"]}, {"time": 32000, "value": %s, "flags": ["linear"]}]}}}}}]}' \
    "$1" "$2" "$3" "$4" "$4" "$1" "$5" "$(($5 + 1000 * $6))"
}
# presentation NAME FILES LAYERS: a 1920 x 1080 document of those files and layers.
presentation() {
  printf '{"format": "tiravo-doc 1", "scene": {"name": "%s", "beats_per_min": 60, "beat_units": 1,
    "end_time": 16777216, "layout_width": 1920, "layout_height": 1080, "layers": [%s]}, "files": [%s]}' \
    "$1" "$3" "$2" > "$videos/$1.json"
  build/tiravo-doc build "$videos/$1.json" -o "$videos/$1.doc" --plugins "$plugins" >/dev/null
}
# media CLASS FILE: an importable of that class holding the file.
media() { printf '{"class": {"name": "%s"}, "file_name": "%s"}' "$1" "$videos/$2"; }
presentation hd-still "$(media Movie hd.mp4)" "$(player 0 960 540 1 0 0)"
presentation hd-video "$(media Movie hd.mp4)" "$(player 0 960 540 1 0 1)"
presentation hd-avi "$(media 'AVI Animation' hd.avi)" "$(player 0 960 540 1 0 1)"
presentation three720 "$(media Movie a720.mp4), $(media Movie b720.mp4), $(media Movie c720.mp4)" \
  "$(player 0 480 270 0.75 0 1), $(player 1 1440 270 0.75 100 1), $(player 2 960 810 0.75 200 1)"
SDL_VIDEODRIVER=offscreen build/bench/videoplayback_bench "$plugins" 120 \
  "1080p30 H.264 MP4, still picture=$videos/hd-still.doc" "1080p30 H.264 MP4, playing=$videos/hd-video.doc" \
  "1080p30 H.264 AVI (no read-ahead)=$videos/hd-avi.doc" \
  "three 720p H.264 MP4 at different times=$videos/three720.doc" 2>/dev/null
# Two Video Players showing one 720p movie 150 frames apart, against the
# same two on two movies (the file and a copy of it): each keeps a decoding
# position of its own, so the ratio should stay above 0.90.
cp "$videos/a720.mp4" "$videos/a720copy.mp4"
presentation two720-two-movies "$(media Movie a720.mp4), $(media Movie a720copy.mp4)" \
  "$(player 0 480 540 0.75 0 1), $(player 1 1440 540 0.75 150 1)"
presentation two720-one-movie "$(media Movie a720.mp4)" "$(player 0 480 540 0.75 0 1), $(player 0 1440 540 0.75 150 1)"
SDL_VIDEODRIVER=offscreen build/bench/videoplayback_bench "$plugins" 120 \
  "two 720p H.264 MP4 150 frames apart, on two movies=$videos/two720-two-movies.doc" \
  "two 720p H.264 MP4 150 frames apart, on one movie=$videos/two720-one-movie.doc" 2>/dev/null
build/bench/videodecode_bench --loops 1 "$videos/hd.mp4" "$videos/uhd.mp4" "$videos/uhd.avi"
SDL_VIDEODRIVER=offscreen build/bench/textureupload_bench 2>/dev/null

# Reloading the bundled example after a save, as --watch does, next to its
# first load, in a window on a virtual X display.
cmake --build build --target reload_bench
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1280x720x24" \
  build/bench/reload_bench build/plugins build/examples/showcase.json 2>/dev/null

# MPEG-4 with a key frame every 25 frames, decoded with its idx1 key-frame
# flags and with them cleared: after the first pass a backward jump must
# decode at most 25 frames ("max back").
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 250 -c:v mpeg4 -vtag XVID -g 25 -q:v 3 "$clips/mpeg4gop25.avi"
build/bench/videodecode_bench "$clips/mpeg4gop25.avi"
build/bench/videodecode_bench --no-key-flags "$clips/mpeg4gop25.avi"

# A jump ten minutes into a 20-minute MPEG-4 AVI (a key frame every 10 s)
# against a jump of one second: at most one GOP of decoding more.
cmake --build build --target avijump_bench
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 -frames:v 30000 -c:v mpeg4 -vtag XVID -g 250 -q:v 5 "$clips/mpeg4long.avi"
build/bench/avijump_bench 250 "$clips/mpeg4long.avi"

# An OpenDML file above 1 GiB (second RIFF part, indx and ix00 indexes), as
# the ffmpeg command writes raw 1280 × 720 video: its parse time, index size
# per frame and the heap parsing takes, then its decoding.
cmake --build build --target aviparse_bench
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=1280x720:rate=25 -frames:v 420 -c:v rawvideo -pix_fmt bgr24 "$clips/opendml.avi"
build/bench/aviparse_bench "$clips/opendml.avi" "$clips/mpeg4gop25.avi"
build/bench/videodecode_bench --loops 1 "$clips/opendml.avi"
