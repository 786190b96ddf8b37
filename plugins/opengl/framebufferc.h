#ifndef PLUGINS_OPENGL_FRAMEBUFFERC_H
#define PLUGINS_OPENGL_FRAMEBUFFERC_H

#include <GL/gl.h>

#include <cstdint>

// An image that frames are drawn into instead of a window: a framebuffer
// object with a colour and a depth-stencil renderbuffer. libGL exports only
// OpenGL 1.1 by name, so the framebuffer object entry points come from the
// current context.
class FramebufferC {
 public:
  FramebufferC() = default;
  FramebufferC(const FramebufferC&) = delete;
  FramebufferC& operator=(const FramebufferC&) = delete;
  ~FramebufferC() = default;

  // Needs a current context. Replaces any earlier image; false (and nothing
  // made) when the context offers no framebuffer objects or the image is
  // incomplete.
  bool create(int32_t i32Width, int32_t i32Height);
  // Needs the context the image was made in to be current.
  void destroy();
  // Draws and reads go to the image from now on.
  void bind() const;
  bool is_created() const { return m_ui32Framebuffer != 0; }
  // The image's size; 0 × 0 when none is made.
  int32_t get_width() const { return m_i32Width; }
  int32_t get_height() const { return m_i32Height; }

 private:
  using GenFunctionT = void(GLAPIENTRY*)(GLsizei, GLuint*);
  using DeleteFunctionT = void(GLAPIENTRY*)(GLsizei, const GLuint*);
  using BindFunctionT = void(GLAPIENTRY*)(GLenum, GLuint);
  using StorageFunctionT = void(GLAPIENTRY*)(GLenum, GLenum, GLsizei, GLsizei);
  using AttachFunctionT = void(GLAPIENTRY*)(GLenum, GLenum, GLenum, GLuint);
  using StatusFunctionT = GLenum(GLAPIENTRY*)(GLenum);

  bool bind_entry_points();

  GenFunctionT m_pGenFramebuffers = nullptr;
  DeleteFunctionT m_pDeleteFramebuffers = nullptr;
  BindFunctionT m_pBindFramebuffer = nullptr;
  GenFunctionT m_pGenRenderbuffers = nullptr;
  DeleteFunctionT m_pDeleteRenderbuffers = nullptr;
  BindFunctionT m_pBindRenderbuffer = nullptr;
  StorageFunctionT m_pRenderbufferStorage = nullptr;
  AttachFunctionT m_pFramebufferRenderbuffer = nullptr;
  StatusFunctionT m_pCheckFramebufferStatus = nullptr;

  GLuint m_ui32Framebuffer = 0;
  GLuint m_ui32Color = 0;
  GLuint m_ui32DepthStencil = 0;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
};

#endif
