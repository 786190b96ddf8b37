#include "plugins/opengl/framebufferc.h"

#include <SDL2/SDL.h>

#include <string>

#ifndef GL_FRAMEBUFFER
#define GL_FRAMEBUFFER 0x8D40
#define GL_RENDERBUFFER 0x8D41
#define GL_COLOR_ATTACHMENT0 0x8CE0
#define GL_DEPTH_STENCIL_ATTACHMENT 0x821A
#define GL_FRAMEBUFFER_COMPLETE 0x8CD5
#define GL_DEPTH24_STENCIL8 0x88F0
#endif

namespace {

// The core (ARB) name first; the older EXT extension has the same calls.
template <class FunctionT>
bool bind_entry_point(FunctionT* pFunction, const char* szName) {
  void* pAddress = SDL_GL_GetProcAddress(szName);
  if (pAddress == nullptr) {
    pAddress = SDL_GL_GetProcAddress((std::string(szName) + "EXT").c_str());
  }
  *pFunction = reinterpret_cast<FunctionT>(pAddress);
  return pAddress != nullptr;
}

}  // namespace

bool FramebufferC::bind_entry_points() {
  // Every one is tried, so a missing one cannot hide behind an earlier failure.
  bool bAll = bind_entry_point(&m_pGenFramebuffers, "glGenFramebuffers");
  bAll = bind_entry_point(&m_pDeleteFramebuffers, "glDeleteFramebuffers") && bAll;
  bAll = bind_entry_point(&m_pBindFramebuffer, "glBindFramebuffer") && bAll;
  bAll = bind_entry_point(&m_pGenRenderbuffers, "glGenRenderbuffers") && bAll;
  bAll = bind_entry_point(&m_pDeleteRenderbuffers, "glDeleteRenderbuffers") && bAll;
  bAll = bind_entry_point(&m_pBindRenderbuffer, "glBindRenderbuffer") && bAll;
  bAll = bind_entry_point(&m_pRenderbufferStorage, "glRenderbufferStorage") && bAll;
  bAll = bind_entry_point(&m_pFramebufferRenderbuffer, "glFramebufferRenderbuffer") && bAll;
  bAll = bind_entry_point(&m_pCheckFramebufferStatus, "glCheckFramebufferStatus") && bAll;
  return bAll;
}

bool FramebufferC::create(int32_t i32Width, int32_t i32Height) {
  destroy();
  if (i32Width <= 0 || i32Height <= 0 || !bind_entry_points()) {
    return false;
  }
  m_pGenRenderbuffers(1, &m_ui32Color);
  m_pBindRenderbuffer(GL_RENDERBUFFER, m_ui32Color);
  m_pRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, i32Width, i32Height);
  m_pGenRenderbuffers(1, &m_ui32DepthStencil);
  m_pBindRenderbuffer(GL_RENDERBUFFER, m_ui32DepthStencil);
  m_pRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, i32Width, i32Height);
  m_pBindRenderbuffer(GL_RENDERBUFFER, 0);

  m_pGenFramebuffers(1, &m_ui32Framebuffer);
  m_pBindFramebuffer(GL_FRAMEBUFFER, m_ui32Framebuffer);
  m_pFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m_ui32Color);
  m_pFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_ui32DepthStencil);
  bool bComplete = m_pCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  m_pBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!bComplete) {
    destroy();
    return false;
  }
  m_i32Width = i32Width;
  m_i32Height = i32Height;
  return true;
}

void FramebufferC::destroy() {
  if (m_ui32Framebuffer != 0) {
    m_pDeleteFramebuffers(1, &m_ui32Framebuffer);
    m_ui32Framebuffer = 0;
  }
  if (m_ui32Color != 0) {
    m_pDeleteRenderbuffers(1, &m_ui32Color);
    m_ui32Color = 0;
  }
  if (m_ui32DepthStencil != 0) {
    m_pDeleteRenderbuffers(1, &m_ui32DepthStencil);
    m_ui32DepthStencil = 0;
  }
  m_i32Width = 0;
  m_i32Height = 0;
}

void FramebufferC::bind() const {
  if (m_pBindFramebuffer != nullptr) {
    m_pBindFramebuffer(GL_FRAMEBUFFER, m_ui32Framebuffer);
  }
}
