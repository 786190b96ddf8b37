#include "platform/messagebox.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/display.h"

void show_message_box(const char* szTitle, const char* szText, MessageIconE eIcon) {
  const char* szSafeTitle = szTitle != nullptr ? szTitle : "";
  const char* szSafeText = szText != nullptr ? szText : "";
  // Texts that already end their last line keep it; the others get one, so the next
  // diagnostic starts on a line of its own.
  size_t uiLength = std::strlen(szSafeText);
  bool bEndsLine = uiLength > 0 && szSafeText[uiLength - 1] == '\n';
  std::fprintf(stderr, "%s: %s%s", szSafeTitle, szSafeText, bEndsLine ? "" : "\n");
  std::fflush(stderr);

  if (!display_available()) {
    return;
  }
  uint32_t ui32Flags = eIcon == MESSAGE_ICON_ERROR ? SDL_MESSAGEBOX_ERROR : 0;
  // Failing to reach the display is not worth more than the line already written.
  SDL_ShowSimpleMessageBox(ui32Flags, szSafeTitle, szSafeText, nullptr);
}
