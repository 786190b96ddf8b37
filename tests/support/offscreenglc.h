#ifndef TESTS_SUPPORT_OFFSCREENGLC_H
#define TESTS_SUPPORT_OFFSCREENGLC_H

#include <SDL2/SDL.h>

#include <cstdint>
#include <cstdlib>

#include "tests/support/openglpin.h"

// An OpenGL compatibility context, current on this thread, on Mesa without a
// display (SDL's offscreen video driver, a hidden window): for code that
// calls OpenGL itself, outside the device driver.
class OffscreenGlC {
 public:
  OffscreenGlC(int32_t i32Width, int32_t i32Height) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      return;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    m_pWindow = SDL_CreateWindow("test", 0, 0, i32Width, i32Height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    m_pContext = m_pWindow != nullptr ? SDL_GL_CreateContext(m_pWindow) : nullptr;
    if (m_pContext != nullptr && SDL_GL_MakeCurrent(m_pWindow, m_pContext) != 0) {
      SDL_GL_DeleteContext(m_pContext);
      m_pContext = nullptr;
    }
    pin_opengl_libraries();
  }
  ~OffscreenGlC() {
    if (m_pContext != nullptr) {
      SDL_GL_MakeCurrent(m_pWindow, nullptr);
      SDL_GL_DeleteContext(m_pContext);
    }
    if (m_pWindow != nullptr) {
      SDL_DestroyWindow(m_pWindow);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  OffscreenGlC(const OffscreenGlC&) = delete;
  OffscreenGlC& operator=(const OffscreenGlC&) = delete;

  bool ok() const { return m_pContext != nullptr; }

 private:
  SDL_Window* m_pWindow = nullptr;
  SDL_GLContext m_pContext = nullptr;
};

#endif
