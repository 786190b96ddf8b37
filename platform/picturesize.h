#ifndef PLATFORM_PICTURESIZE_H
#define PLATFORM_PICTURESIZE_H

#include <cstdint>

// The longest side, in pixels, of a picture the program renders offline or
// encodes: larger layouts and sizes are refused rather than allocated.
constexpr int32_t MAX_PICTURE_SIDE = 16384;

#endif
