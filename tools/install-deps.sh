#!/bin/sh
# Installs the Debian packages that building and testing need, and the ones
# named as arguments (the fuzz build adds clang), only those missing.
set -eu

# The build tools and test framework (binutils' nm and gold, and lld, for the
# tests of what plug-ins export with each linker); SDL2 for the window,
# dialog, message boxes and audio output; FFmpeg for music and video decoding
# (and the ffmpeg and ffprobe commands that make and check test media),
# libavfilter to deinterlace movies and tone-map HDR ones (its zscale
# filter, through zimg);
# libpng for rendered frames; OpenGL through GLVND's libOpenGL
# (libopengl-dev) with the GL headers (libgl-dev), drawn by Mesa, also
# headless; nlohmann-json for the document tool's JSON; dpkg-dev and file for
# the Debian packages, whose dependencies CPack works out with dpkg-shlibdeps
# and whose hardening flags dpkg-buildflags gives, and lintian, which the
# install test checks them with;
# MEncoder and GStreamer as AVI writers of their own for the video tests;
# exiftool to write the display rotation phones record into test movies;
# Xvfb and xdotool to show the options dialog on a virtual display and answer
# it in tests; HarfBuzz and FreeType to shape and draw the Text effect's
# glyphs, and fonts-dejavu-core for the font the example presentation and the
# text tests import; help2man to make the manual pages from the programs'
# --help.
PACKAGES="cmake ninja-build g++ binutils lld pkg-config libgtest-dev libsdl2-dev libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev libavfilter-dev libpng-dev libopengl-dev libgl-dev libgl1-mesa-dri ffmpeg nlohmann-json3-dev dpkg-dev file lintian mencoder gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good libimage-exiftool-perl xvfb xdotool help2man libharfbuzz-dev libfreetype-dev fonts-dejavu-core $*"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
echo "Installing:$missing"
$sudo apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
