#ifndef PLATFORM_PNGWRITER_H
#define PLATFORM_PNGWRITER_H

#include <cstdint>

// Writes 8-bit RGB pixels, top row first, as a PNG file. False on failure.
bool write_png_rgb(const char* szFileName, const uint8_t* pPixels, int32_t i32Width, int32_t i32Height);

#endif
