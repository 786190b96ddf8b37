#include "platform/display.h"

#include <strings.h>

#include <cstdlib>

namespace {

bool is_set(const char* szName) {
  const char* szValue = std::getenv(szName);
  return szValue != nullptr && szValue[0] != '\0';
}

}  // namespace

bool display_available() {
  if (!is_set("DISPLAY") && !is_set("WAYLAND_DISPLAY")) {
    return false;
  }
  // These two drivers never put a window in front of a user, whatever display is named.
  const char* szDriver = std::getenv("SDL_VIDEODRIVER");
  if (szDriver != nullptr && (strcasecmp(szDriver, "offscreen") == 0 || strcasecmp(szDriver, "dummy") == 0)) {
    return false;
  }
  return true;
}
