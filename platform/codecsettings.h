#ifndef PLATFORM_CODECSETTINGS_H
#define PLATFORM_CODECSETTINGS_H

#include <cstddef>

// Settings of FFmpeg's libraries, which libavutil keeps once for the whole
// process and so for every user of the libraries in it.

// The largest single block FFmpeg's libraries may take. Damaged files claim
// tables of any length (a 6 KB MP4 asks for 640 MiB of chunk offsets), and
// libavformat sizes its blocks by the claim before it reads a byte of them.
// The largest block a sound file or a video we accept needs, one 32-bit
// picture of 8192 x 4320 with its padding, is well below this.
constexpr size_t CODEC_ALLOCATION_LIMIT = size_t{256} << 20;

// Puts the limit in force; called before each file is opened.
void codec_allocations_limit();

// Leaves FFmpeg's own log lines on standard error to errors: decoders
// announce themselves and demuxers remark on files at the levels below,
// which mean nothing to someone playing or building a presentation. For the
// programs, at start-up.
void codec_log_errors_only();

#endif
