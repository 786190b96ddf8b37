#ifndef PLUGINS_VIDEO_VIDEOTEXTUREC_H
#define PLUGINS_VIDEO_VIDEOTEXTUREC_H

#include <cstdint>

#include "platform/pictureconverterc.h"

// The OpenGL texture an importable shows its frames in. Its storage is
// allocated once for each picture size and pixel format; each new frame is
// then written into it with glTexSubImage2D, which spares the driver from
// allocating and the uploads from a reformat when the pixels come in the
// order the driver stores (32-bit RGBA). Only for the main thread, which
// holds the OpenGL context.
class VideoTextureC {
 public:
  // Creates the texture when there is none, binds it and sets its sampling
  // from the bind flags (BIND_LINEAR, BIND_CLAMP).
  void bind(uint32_t ui32Flags);
  // True when the bound texture holds frame i32Frame.
  bool holds(int32_t i32Frame) const { return m_ui32Name != 0 && i32Frame == m_i32Frame && i32Frame >= 0; }
  // Writes frame i32Frame into the bound texture: rows top first, each padded
  // to 4 bytes, 24-bit BGR (shown opaque) or 32-bit RGBA (with its alpha).
  void upload(int32_t i32Frame, const uint8_t* pPixels, int32_t i32Width, int32_t i32Height, PictureLayoutE eLayout);
  // Another object may have written into the shared texture: neither its
  // frame nor its storage is trusted, so the next upload allocates again.
  void forget();
  void destroy();

 private:
  uint32_t m_ui32Name = 0;
  int32_t m_i32Frame = -1;
  // What the storage was allocated for; sizes 0 when it has not been.
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  PictureLayoutE m_eLayout = PICTURE_BGR24;
};

#endif
