#ifndef PLATFORM_PICTURESIZE_H
#define PLATFORM_PICTURESIZE_H

#include <cstdint>

// The longest side, in pixels, of a picture the program renders offline or
// encodes: larger layouts and sizes are refused rather than allocated.
constexpr int32_t MAX_PICTURE_SIDE = 16384;

// The largest video picture decoded: larger ones come only from damaged
// headers, and would cost hundreds of megabytes of picture buffer. The
// pixel bound is an 8K UHD picture's.
constexpr int32_t MAX_VIDEO_SIDE = 8192;
constexpr int64_t MAX_VIDEO_PIXELS = int64_t{8192} * 4320;

#endif
