#include <SDL2/SDL.h>

#include "platform/display.h"

int display_refresh_rate() {
  // Only where an output is open already: asking would otherwise start video.
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    return 0;
  }
  SDL_DisplayMode rMode{};
  return SDL_GetCurrentDisplayMode(0, &rMode) == 0 && rMode.refresh_rate > 0 ? rMode.refresh_rate : 0;
}
