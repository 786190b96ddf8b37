#include "plugins/video/videotexturec.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "corelib/graphicsimportablec.h"

void VideoTextureC::bind(uint32_t ui32Flags) {
  if (m_ui32Name == 0) {
    GLuint uiName = 0;
    glGenTextures(1, &uiName);
    m_ui32Name = uiName;
    forget();
  }
  glBindTexture(GL_TEXTURE_2D, m_ui32Name);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  const GLint iFilter = (ui32Flags & BIND_LINEAR) ? GL_LINEAR : GL_NEAREST;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, iFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, iFilter);
  // GL_CLAMP would blend the border colour into the outer half texel when
  // filtering linearly, darkening the picture's edges: clamp to the edge texels.
  const GLint iWrap = (ui32Flags & BIND_CLAMP) ? GL_CLAMP_TO_EDGE : GL_REPEAT;
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, iWrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, iWrap);
}

// RGBA bytes are the driver's own texel layout, so the upload is a copy;
// 24-bit BGR is reformatted on the way.
void VideoTextureC::upload(int32_t i32Frame, const uint8_t* pPixels, int32_t i32Width, int32_t i32Height,
                           PictureLayoutE eLayout) {
  const bool bRgba = eLayout == PICTURE_RGBA32;
  const GLenum eFormat = bRgba ? GL_RGBA : GL_BGR_EXT;
  // Rows are padded to 4 bytes; some other code may have changed this.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  if (i32Width != m_i32Width || i32Height != m_i32Height || eLayout != m_eLayout) {
    glTexImage2D(GL_TEXTURE_2D, 0, bRgba ? GL_RGBA8 : GL_RGB, i32Width, i32Height, 0, eFormat, GL_UNSIGNED_BYTE,
                 nullptr);
    m_i32Width = i32Width;
    m_i32Height = i32Height;
    m_eLayout = eLayout;
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, i32Width, i32Height, eFormat, GL_UNSIGNED_BYTE, pPixels);
  m_i32Frame = i32Frame;
}

void VideoTextureC::forget() {
  m_i32Frame = -1;
  m_i32Width = 0;
  m_i32Height = 0;
}

void VideoTextureC::destroy() {
  if (m_ui32Name != 0) {
    const GLuint uiName = m_ui32Name;
    glDeleteTextures(1, &uiName);
    m_ui32Name = 0;
  }
  forget();
}
