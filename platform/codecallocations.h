#ifndef PLATFORM_CODECALLOCATIONS_H
#define PLATFORM_CODECALLOCATIONS_H

#include <cstddef>

// The largest single block FFmpeg's libraries may take. Damaged files claim
// tables of any length (a 6 KB MP4 asks for 640 MiB of chunk offsets), and
// libavformat sizes its blocks by the claim before it reads a byte of them.
// The largest block a sound file or a video we accept needs, one 32-bit
// picture of 8192 x 4320 with its padding, is well below this.
constexpr size_t CODEC_ALLOCATION_LIMIT = size_t{256} << 20;

// Puts the limit in force for the whole process: libavutil keeps one for
// every user of FFmpeg's libraries. Called before each file is opened.
void codec_allocations_limit();

#endif
