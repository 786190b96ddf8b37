#include "plugins/opengl/opengldriverc.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cmath>

#include "corelib/rgbacolorc.h"
#include "docfile/chunkreaderc.h"
#include "platform/display.h"

namespace {

// One axis of set_ortho. The rect's span of the layout in framebuffer pixels,
// cut to the layout's area so that nothing lands in the bars and no viewport
// outgrows the largest one OpenGL takes; the ortho values move with the cut,
// so layout coordinates still map exactly.
struct SpanS {
  int32_t m_i32Start = 0;
  int32_t m_i32Size = 0;
  double m_f64ValueAtStart = 0.0;
  double m_f64ValueAtEnd = 0.0;
};

bool map_span(double f64Low, double f64High, double f64Scale, int32_t i32AreaStart, int32_t i32AreaSize,
              double f64ValueLow, double f64ValueHigh, SpanS* pSpan) {
  const double f64PixelLow = i32AreaStart + f64Low * f64Scale;
  const double f64PixelHigh = i32AreaStart + f64High * f64Scale;
  if (!std::isfinite(f64PixelLow) || !std::isfinite(f64PixelHigh) || !(f64PixelHigh > f64PixelLow) ||
      !(f64ValueHigh != f64ValueLow)) {
    return false;
  }
  const double f64CutLow = std::max(std::floor(f64PixelLow), static_cast<double>(i32AreaStart));
  const double f64CutHigh = std::min(std::ceil(f64PixelHigh), static_cast<double>(i32AreaStart + i32AreaSize));
  if (!(f64CutHigh > f64CutLow)) {
    return false;
  }
  const double f64Slope = (f64ValueHigh - f64ValueLow) / (f64PixelHigh - f64PixelLow);
  pSpan->m_i32Start = static_cast<int32_t>(f64CutLow);
  pSpan->m_i32Size = static_cast<int32_t>(f64CutHigh - f64CutLow);
  pSpan->m_f64ValueAtStart = f64ValueLow + (f64CutLow - f64PixelLow) * f64Slope;
  pSpan->m_f64ValueAtEnd = f64ValueLow + (f64CutHigh - f64PixelLow) * f64Slope;
  return true;
}

}  // namespace

OpenGLDriverC::~OpenGLDriverC() {
  shut_down();
}

DeviceInterfaceC* OpenGLDriverC::query_interface(const SuperClassIdentC& rSuperClass) {
  if (rSuperClass == SUPERCLASS_VIEWPORT_INTERFACE) {
    return &m_rViewport;
  }
  if (rSuperClass == SUPERCLASS_OFFSCREEN_INTERFACE) {
    return &m_rOffscreen;
  }
  if (rSuperClass == SUPERCLASS_OFFSCREEN_IMAGE_INTERFACE) {
    return &m_rOffscreenImage;
  }
  if (rSuperClass == SUPERCLASS_SHADER_INTERFACE) {
    return &m_rShader;
  }
  return nullptr;
}

// "1.30", "4.50" or "1.10 Mesa ..." as the version of a #version line.
int32_t OpenGLDriverC::ShaderC::get_glsl_version() {
  if (m_rDriver.m_pContext == nullptr) {
    return 0;
  }
  const char* szVersion = reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION));
  int32_t i32Major = 0;
  int32_t i32Minor = 0;
  if (szVersion == nullptr || std::sscanf(szVersion, "%d.%d", &i32Major, &i32Minor) != 2) {
    return 0;
  }
  return i32Major * 100 + i32Minor;
}

void* OpenGLDriverC::ShaderC::get_proc_address(const char* szName) {
  return m_rDriver.m_pContext != nullptr && szName != nullptr ? SDL_GL_GetProcAddress(szName) : nullptr;
}

int32_t OpenGLDriverC::load(ChunkReaderC*) {
  return CHUNK_OK;
}

bool OpenGLDriverC::init_device(void*, void*, int32_t, int32_t i32Mode, int32_t i32Width, int32_t i32Height,
                                int32_t, HostInterfaceC* pHost) {
  shut_down();
  if ((i32Mode != DEVICE_MODE_WINDOWED && i32Mode != DEVICE_MODE_FULLSCREEN) || i32Width <= 0 || i32Height <= 0) {
    return false;
  }
  m_i32LayoutWidth = i32Width;
  m_i32LayoutHeight = i32Height;

  // SDL's offscreen driver needs no display and still gives real OpenGL
  // contexts. Without a display it is the only one that can serve, and
  // probing the others makes their libraries print errors. With one that
  // fails, it is the last resort.
  if (!display_available()) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      return false;
    }
  }
  m_bVideoStarted = true;

  if (!open_window(i32Mode)) {
    shut_down();
    return false;
  }
  m_pHost = pHost;
  attach_window_handler(m_pWindow, this);
  update_area();
  return true;
}

bool OpenGLDriverC::open_window(int32_t i32Mode) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);

  uint32_t ui32Flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
  if (m_bOffscreen) {
    ui32Flags |= SDL_WINDOW_HIDDEN;
  } else if (i32Mode == DEVICE_MODE_FULLSCREEN) {
    ui32Flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  } else {
    ui32Flags |= SDL_WINDOW_RESIZABLE;
  }
  // A fullscreen window is made at the desktop's size: without a window
  // manager to resize it, it would keep the layout size while SDL reports
  // the desktop's.
  int32_t i32WindowWidth = m_i32LayoutWidth;
  int32_t i32WindowHeight = m_i32LayoutHeight;
  SDL_DisplayMode rDesktop{};
  if (i32Mode == DEVICE_MODE_FULLSCREEN && !m_bOffscreen && SDL_GetDesktopDisplayMode(0, &rDesktop) == 0) {
    i32WindowWidth = rDesktop.w;
    i32WindowHeight = rDesktop.h;
  }
  m_pWindow = SDL_CreateWindow("tiravo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, i32WindowWidth,
                               i32WindowHeight, ui32Flags);
  if (m_pWindow == nullptr) {
    return false;
  }
  m_pContext = SDL_GL_CreateContext(m_pWindow);
  if (m_pContext == nullptr || SDL_GL_MakeCurrent(m_pWindow, m_pContext) != 0) {
    return false;
  }
  if (m_bOffscreen) {
    const bool bImageSet = m_i32ImageWidth > 0;
    return m_rFramebuffer.create(bImageSet ? m_i32ImageWidth : m_i32LayoutWidth,
                                 bImageSet ? m_i32ImageHeight : m_i32LayoutHeight);
  }
  // Tearing shows; a failure only costs that.
  SDL_GL_SetSwapInterval(1);
  if (i32Mode == DEVICE_MODE_FULLSCREEN) {
    SDL_ShowCursor(SDL_DISABLE);
    m_bCursorHidden = true;
  }
  return true;
}

void OpenGLDriverC::shut_down() {
  if (m_pContext != nullptr) {
    SDL_GL_MakeCurrent(m_pWindow, m_pContext);
    m_rFramebuffer.destroy();
    SDL_GL_MakeCurrent(m_pWindow, nullptr);
    SDL_GL_DeleteContext(m_pContext);
    m_pContext = nullptr;
  }
  if (m_pWindow != nullptr) {
    attach_window_handler(m_pWindow, nullptr);
    SDL_DestroyWindow(m_pWindow);
    m_pWindow = nullptr;
  }
  if (m_bCursorHidden) {
    SDL_ShowCursor(SDL_ENABLE);
    m_bCursorHidden = false;
  }
  if (m_bVideoStarted) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_bVideoStarted = false;
  }
  m_pHost = nullptr;
  m_rArea = AreaS();
}

void OpenGLDriverC::set_layout_size(const Box2C& rRect) {
  const Box2C rBox = rRect.normalize();
  const int32_t i32Width = static_cast<int32_t>(std::lround(rBox.m_rMax.m_f32X - rBox.m_rMin.m_f32X));
  const int32_t i32Height = static_cast<int32_t>(std::lround(rBox.m_rMax.m_f32Y - rBox.m_rMin.m_f32Y));
  if (i32Width <= 0 || i32Height <= 0 || (i32Width == m_i32LayoutWidth && i32Height == m_i32LayoutHeight)) {
    return;
  }
  m_i32LayoutWidth = i32Width;
  m_i32LayoutHeight = i32Height;
  // An offscreen image keeps the size it was made with, which is what frames
  // are read back at; a new layout is fitted into it, as into a window.
  update_area();
}

// What the layout is fitted into: the offscreen image, or the window.
void OpenGLDriverC::get_target_size(int32_t* pWidth, int32_t* pHeight) const {
  if (!m_bOffscreen) {
    SDL_GL_GetDrawableSize(m_pWindow, pWidth, pHeight);
    return;
  }
  *pWidth = m_rFramebuffer.get_width();
  *pHeight = m_rFramebuffer.get_height();
}

// The largest box of the layout's aspect that fits the window or image,
// centred. Whole pixels, so that the bars and the picture never share a pixel.
void OpenGLDriverC::update_area() {
  m_rArea = AreaS();
  if (m_pWindow == nullptr || m_i32LayoutWidth <= 0 || m_i32LayoutHeight <= 0) {
    return;
  }
  int32_t i32WindowWidth = 0;
  int32_t i32WindowHeight = 0;
  get_target_size(&i32WindowWidth, &i32WindowHeight);
  const double f64Scale = std::min(static_cast<double>(i32WindowWidth) / m_i32LayoutWidth,
                                   static_cast<double>(i32WindowHeight) / m_i32LayoutHeight);
  m_rArea.m_i32Width = std::clamp(static_cast<int32_t>(std::lround(m_i32LayoutWidth * f64Scale)), 0, i32WindowWidth);
  m_rArea.m_i32Height =
      std::clamp(static_cast<int32_t>(std::lround(m_i32LayoutHeight * f64Scale)), 0, i32WindowHeight);
  m_rArea.m_i32X = (i32WindowWidth - m_rArea.m_i32Width) / 2;
  m_rArea.m_i32Y = (i32WindowHeight - m_rArea.m_i32Height) / 2;
}

void OpenGLDriverC::handle_message(const SDL_Event& rEvent) {
  switch (rEvent.type) {
    case SDL_KEYDOWN:
      if (rEvent.key.keysym.sym == SDLK_ESCAPE) {
        post_window_message(m_pWindow, WINDOW_MESSAGE_QUIT);
      }
      break;
    case SDL_QUIT:
      post_window_message(m_pWindow, WINDOW_MESSAGE_QUIT);
      break;
    case SDL_WINDOWEVENT:
      if (rEvent.window.event == SDL_WINDOWEVENT_CLOSE) {
        post_window_message(m_pWindow, WINDOW_MESSAGE_QUIT);
      } else if (rEvent.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                 rEvent.window.event == SDL_WINDOWEVENT_RESIZED) {
        update_area();
      }
      break;
    default:
      break;
  }
}

void OpenGLDriverC::activate() {
  if (m_pContext != nullptr) {
    SDL_GL_MakeCurrent(m_pWindow, m_pContext);
  }
}

void OpenGLDriverC::begin_frame() {
  if (m_pContext == nullptr) {
    return;
  }
  SDL_GL_MakeCurrent(m_pWindow, m_pContext);
  if (m_bOffscreen) {
    m_rFramebuffer.bind();
  }
  glDisable(GL_SCISSOR_TEST);
  int32_t i32WindowWidth = 0;
  int32_t i32WindowHeight = 0;
  get_target_size(&i32WindowWidth, &i32WindowHeight);
  if (m_rArea.m_i32Width < i32WindowWidth || m_rArea.m_i32Height < i32WindowHeight) {
    // The bars: whatever the frame clears to, they stay black.
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glViewport(m_rArea.m_i32X, m_rArea.m_i32Y, m_rArea.m_i32Width, m_rArea.m_i32Height);
}

void OpenGLDriverC::clear_buffers(uint32_t ui32Flags, const RgbaColorC& rColor, float f32Depth, int32_t i32Stencil) {
  if (m_pContext == nullptr) {
    return;
  }
  GLbitfield uiMask = 0;
  if ((ui32Flags & OPENGL_CLEAR_COLOR) != 0) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(rColor.m_f32R, rColor.m_f32G, rColor.m_f32B, rColor.m_f32A);
    uiMask |= GL_COLOR_BUFFER_BIT;
  }
  // An effect may have left a write mask off, which would make the clear a no-op.
  if ((ui32Flags & OPENGL_CLEAR_DEPTH) != 0) {
    glDepthMask(GL_TRUE);
    glClearDepth(f32Depth);
    uiMask |= GL_DEPTH_BUFFER_BIT;
  }
  if ((ui32Flags & OPENGL_CLEAR_STENCIL) != 0) {
    glStencilMask(~0u);
    glClearStencil(i32Stencil);
    uiMask |= GL_STENCIL_BUFFER_BIT;
  }
  if (uiMask == 0) {
    return;
  }
  glEnable(GL_SCISSOR_TEST);
  glScissor(m_rArea.m_i32X, m_rArea.m_i32Y, m_rArea.m_i32Width, m_rArea.m_i32Height);
  glClear(uiMask);
  glDisable(GL_SCISSOR_TEST);
}

void OpenGLDriverC::set_default_view() {
  glViewport(m_rArea.m_i32X, m_rArea.m_i32Y, m_rArea.m_i32Width, m_rArea.m_i32Height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, m_i32LayoutWidth, 0.0, m_i32LayoutHeight, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void OpenGLDriverC::begin_draw() {
  if (m_pContext == nullptr) {
    return;
  }
  set_default_view();
  // Points, wide lines and clears of effects would otherwise reach the bars.
  glEnable(GL_SCISSOR_TEST);
  glScissor(m_rArea.m_i32X, m_rArea.m_i32Y, m_rArea.m_i32Width, m_rArea.m_i32Height);
}

void OpenGLDriverC::end_draw() {
  if (m_pContext != nullptr) {
    glDisable(GL_SCISSOR_TEST);
  }
}

void OpenGLDriverC::end_frame() {
  if (m_pContext == nullptr) {
    return;
  }
  if (m_bOffscreen) {
    glFinish();
  } else {
    SDL_GL_SwapWindow(m_pWindow);
  }
}

void OpenGLDriverC::ViewportC::set_ortho(const Box2C& rRect, float f32Left, float f32Right, float f32Top,
                                         float f32Bottom, float f32Near, float f32Far) {
  OpenGLDriverC& rDriver = m_rDriver;
  if (rDriver.m_pContext == nullptr || rDriver.m_i32LayoutWidth <= 0 || rDriver.m_i32LayoutHeight <= 0) {
    return;
  }
  const AreaS& rArea = rDriver.m_rArea;
  const Box2C rBox = rRect.normalize();
  SpanS rX;
  SpanS rY;
  const bool bVisible =
      f32Near != f32Far &&
      map_span(rBox.m_rMin.m_f32X, rBox.m_rMax.m_f32X, static_cast<double>(rArea.m_i32Width) / rDriver.m_i32LayoutWidth,
               rArea.m_i32X, rArea.m_i32Width, f32Left, f32Right, &rX) &&
      map_span(rBox.m_rMin.m_f32Y, rBox.m_rMax.m_f32Y,
               static_cast<double>(rArea.m_i32Height) / rDriver.m_i32LayoutHeight, rArea.m_i32Y, rArea.m_i32Height,
               f32Bottom, f32Top, &rY);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (bVisible) {
    glViewport(rX.m_i32Start, rY.m_i32Start, rX.m_i32Size, rY.m_i32Size);
    glOrtho(rX.m_f64ValueAtStart, rX.m_f64ValueAtEnd, rY.m_f64ValueAtStart, rY.m_f64ValueAtEnd, f32Near, f32Far);
  } else {
    // Off the layout, or nothing to map: draws land nowhere.
    glViewport(rArea.m_i32X, rArea.m_i32Y, 0, 0);
  }
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

bool OpenGLDriverC::OffscreenC::read_frame(uint8_t* pPixels) {
  OpenGLDriverC& rDriver = m_rDriver;
  if (pPixels == nullptr || rDriver.m_pContext == nullptr || !rDriver.m_rFramebuffer.is_created()) {
    return false;
  }
  SDL_GL_MakeCurrent(rDriver.m_pWindow, rDriver.m_pContext);
  rDriver.m_rFramebuffer.bind();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  int32_t i32Width = 0;
  int32_t i32Height = 0;
  rDriver.get_target_size(&i32Width, &i32Height);
  glReadPixels(0, 0, i32Width, i32Height, GL_RGB, GL_UNSIGNED_BYTE, pPixels);
  // OpenGL reads the bottom row first.
  const size_t uiStride = static_cast<size_t>(i32Width) * 3;
  for (int32_t i32Row = 0; i32Row < i32Height / 2; ++i32Row) {
    uint8_t* pTop = pPixels + static_cast<size_t>(i32Row) * uiStride;
    uint8_t* pBottom = pPixels + static_cast<size_t>(i32Height - 1 - i32Row) * uiStride;
    std::swap_ranges(pTop, pTop + uiStride, pBottom);
  }
  return true;
}

void OpenGLDriverC::OffscreenImageC::set_image_size(int32_t i32Width, int32_t i32Height) {
  const bool bValid = i32Width > 0 && i32Height > 0;
  m_rDriver.m_i32ImageWidth = bValid ? i32Width : 0;
  m_rDriver.m_i32ImageHeight = bValid ? i32Height : 0;
}
