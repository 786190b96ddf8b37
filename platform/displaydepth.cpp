#include <SDL2/SDL.h>

#include "platform/display.h"

namespace {

constexpr int DEFAULT_BITS_PER_PIXEL = 32;

}  // namespace

int display_bits_per_pixel() {
  // Without a display there is no screen to ask, and probing for one makes
  // the window system libraries print errors.
  if (!display_available() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    return DEFAULT_BITS_PER_PIXEL;
  }
  SDL_DisplayMode rMode{};
  const int iBits = SDL_GetDesktopDisplayMode(0, &rMode) == 0 ? pixel_format_bits_per_pixel(rMode.format) : 0;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return iBits > 0 ? iBits : DEFAULT_BITS_PER_PIXEL;
}

// SDL counts the colour bits of a pixel (24 for 8 bits of red, green and blue
// in 4 bytes); the screen's depth is what the pixel takes. Formats of less
// than a byte per pixel have no byte count.
int pixel_format_bits_per_pixel(uint32_t ui32Format) {
  if (SDL_ISPIXELFORMAT_FOURCC(ui32Format)) {
    return 0;
  }
  const int iBytes = static_cast<int>(SDL_BYTESPERPIXEL(ui32Format));
  return iBytes > 0 ? iBytes * 8 : static_cast<int>(SDL_BITSPERPIXEL(ui32Format));
}
