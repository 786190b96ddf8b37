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
  const int iBits = SDL_GetDesktopDisplayMode(0, &rMode) == 0 ? static_cast<int>(SDL_BITSPERPIXEL(rMode.format)) : 0;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return iBits > 0 ? iBits : DEFAULT_BITS_PER_PIXEL;
}
