#ifndef CORELIB_DEVICEINTERFACEC_H
#define CORELIB_DEVICEINTERFACEC_H

#include <cstdint>

#include "corelib/classidentc.h"

class Box2C;

// An interface that a device driver hands out through query_interface.
class DeviceInterfaceC {
 public:
  virtual ~DeviceInterfaceC() = default;
  virtual SuperClassIdentC get_super_class_ident() = 0;
};

// The graphics device's viewport interface (SUPERCLASS_VIEWPORT_INTERFACE).
class ViewportInterfaceC : public DeviceInterfaceC {
 public:
  virtual void set_ortho(const Box2C& rRect, float f32Left, float f32Right, float f32Top, float f32Bottom,
                         float f32Near, float f32Far) = 0;
  virtual void set_viewport(const Box2C& rRect) = 0;
  virtual void set_layout(const Box2C& rRect) = 0;
};

// Asked of our OpenGL device driver for offline rendering: drawing into an
// image that no window shows, and reading it back.
static const SuperClassIdentC SUPERCLASS_OFFSCREEN_INTERFACE(0x03000010);

class OffscreenInterfaceC : public DeviceInterfaceC {
 public:
  // Before init_device: draw every frame into an image (of the layout size
  // unless OffscreenImageInterfaceC sets another) instead of a window that
  // is shown.
  virtual void set_offscreen(bool bOffscreen) = 0;
  // After end_frame: the frame's pixels as they would appear on screen, top
  // row first, RGB, image width × height × 3 bytes. The image keeps the size
  // it had at init_device (the layout's, unless set_image_size said
  // otherwise); a later layout is fitted into it. False when nothing can be
  // read.
  virtual bool read_frame(uint8_t* pPixels) = 0;
};

// Asked of our OpenGL device driver for offline rendering at a size other
// than the layout's.
static const SuperClassIdentC SUPERCLASS_OFFSCREEN_IMAGE_INTERFACE(0x03000011);

class OffscreenImageInterfaceC : public DeviceInterfaceC {
 public:
  // Before init_device, with set_offscreen(true): the image is width ×
  // height, and the layout keeps its aspect inside it, centred between black
  // bars, as in a window. read_frame then gives width × height × 3 bytes.
  virtual void set_image_size(int32_t i32Width, int32_t i32Height) = 0;
};

// Asked of our OpenGL device driver by effects that draw with GLSL shaders:
// the context's shading language and its functions beyond OpenGL 1.1, which
// a plug-in must take from the context that will run them.
static const SuperClassIdentC SUPERCLASS_SHADER_INTERFACE(0x03000012);

class ShaderInterfaceC : public DeviceInterfaceC {
 public:
  // The GLSL version the current context compiles, as in its #version line
  // (130 for 1.30); 0 when it compiles none or there is no context yet.
  virtual int32_t get_glsl_version() = 0;
  // The context's function of that name, or null.
  virtual void* get_proc_address(const char* szName) = 0;
};

#endif
