#include "platform/windowmessage.h"

namespace {

// The handler rides on the window inside SDL, so the program and each plug-in
// library, which all link their own copy of this file, see the same one.
constexpr const char* HANDLER_KEY = "tiravo.handler";

WindowHandlerC* find_handler(SDL_Window* pWindow) {
  return pWindow != nullptr ? static_cast<WindowHandlerC*>(SDL_GetWindowData(pWindow, HANDLER_KEY)) : nullptr;
}

// The window an event belongs to; 0 for events of no window.
uint32_t window_id_of(const SDL_Event& rEvent) {
  switch (rEvent.type) {
    case SDL_WINDOWEVENT:
      return rEvent.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      return rEvent.key.windowID;
    case SDL_TEXTEDITING:
      return rEvent.edit.windowID;
    case SDL_TEXTINPUT:
      return rEvent.text.windowID;
    case SDL_MOUSEMOTION:
      return rEvent.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return rEvent.button.windowID;
    case SDL_MOUSEWHEEL:
      return rEvent.wheel.windowID;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPBEGIN:
    case SDL_DROPCOMPLETE:
      return rEvent.drop.windowID;
    case SDL_USEREVENT:
      return rEvent.user.windowID;
    default:
      return 0;
  }
}

}  // namespace

void attach_window_handler(SDL_Window* pWindow, WindowHandlerC* pHandler) {
  if (pWindow != nullptr) {
    SDL_SetWindowData(pWindow, HANDLER_KEY, pHandler);
  }
}

// Polled into a message of its own, so pMessage keeps the window's last one.
bool peek_message(SDL_Window* pWindow, WindowMessageS* pMessage) {
  const uint32_t ui32WindowId = pWindow != nullptr ? SDL_GetWindowID(pWindow) : 0;
  WindowMessageS rMessage{};
  while (SDL_PollEvent(&rMessage.m_rEvent) == 1) {
    if (ui32WindowId != 0 && window_id_of(rMessage.m_rEvent) == ui32WindowId) {
      *pMessage = rMessage;
      return true;
    }
    dispatch_message(rMessage);
  }
  return false;
}

void dispatch_message(const WindowMessageS& rMessage) {
  const SDL_Event& rEvent = rMessage.m_rEvent;
  if (rEvent.type != SDL_QUIT) {
    if (WindowHandlerC* pHandler = find_handler(SDL_GetWindowFromID(window_id_of(rEvent)))) {
      pHandler->handle_message(rEvent);
    }
    return;
  }
  // A quit request (the last window closed, or a signal) names no window; SDL
  // cannot list its windows, so it goes to the window that draws (the one
  // whose OpenGL context is current) and to the one with the keyboard, once
  // each.
  SDL_Window* pDrawing = SDL_GL_GetCurrentWindow();
  SDL_Window* pFocused = SDL_GetKeyboardFocus();
  if (WindowHandlerC* pHandler = find_handler(pDrawing)) {
    pHandler->handle_message(rEvent);
  }
  if (pFocused != pDrawing) {
    if (WindowHandlerC* pHandler = find_handler(pFocused)) {
      pHandler->handle_message(rEvent);
    }
  }
}

uint32_t get_message_id(const WindowMessageS& rMessage) {
  const SDL_Event& rEvent = rMessage.m_rEvent;
  if (rEvent.type == SDL_USEREVENT && static_cast<uint32_t>(rEvent.user.code) == WINDOW_MESSAGE_QUIT) {
    return WINDOW_MESSAGE_QUIT;
  }
  return 0;
}

void post_window_message(SDL_Window* pWindow, uint32_t ui32Id) {
  SDL_Event rEvent{};
  rEvent.type = SDL_USEREVENT;
  rEvent.user.windowID = pWindow != nullptr ? SDL_GetWindowID(pWindow) : 0;
  rEvent.user.code = static_cast<Sint32>(ui32Id);
  SDL_PushEvent(&rEvent);
}

WindowKeyE get_window_key(const WindowMessageS& rMessage, bool* pShift) {
  const SDL_Event& rEvent = rMessage.m_rEvent;
  if (rEvent.type != SDL_KEYDOWN) {
    return WINDOW_KEY_NONE;
  }
  *pShift = (rEvent.key.keysym.mod & KMOD_SHIFT) != 0;
  switch (rEvent.key.keysym.sym) {
    case SDLK_SPACE:
      return rEvent.key.repeat ? WINDOW_KEY_NONE : WINDOW_KEY_SPACE;
    case SDLK_LEFT:
      return WINDOW_KEY_LEFT;
    case SDLK_RIGHT:
      return WINDOW_KEY_RIGHT;
    case SDLK_PAGEUP:
      return WINDOW_KEY_PAGE_UP;
    case SDLK_PAGEDOWN:
      return WINDOW_KEY_PAGE_DOWN;
    case SDLK_HOME:
      return WINDOW_KEY_HOME;
    default:
      return WINDOW_KEY_NONE;
  }
}

void set_window_title(void* pWindow, const char* szTitle) {
  if (pWindow != nullptr) {
    SDL_SetWindowTitle(static_cast<SDL_Window*>(pWindow), szTitle);
  }
}
