#ifndef PLATFORM_DISPLAY_H
#define PLATFORM_DISPLAY_H

#include <cstdint>

// Whether windows can be shown to a user: a display server is named in the
// environment and SDL is not told to use its offscreen or dummy video driver.
bool display_available();

// Bits per pixel of the screen the output will appear on, as the pixels take
// them in memory (32 on a desktop of 24 colour bits in 4 bytes); 32 when no
// screen can be asked.
int display_bits_per_pixel();

// Refreshes per second of the display the output is on, once it is open; 0
// when no output is open or the display does not say.
int display_refresh_rate();

// The bits a pixel of the SDL pixel format takes in memory, padding included;
// 0 for a format that is not a pixel layout (a FourCC).
int pixel_format_bits_per_pixel(uint32_t ui32Format);

#endif
