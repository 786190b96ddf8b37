#ifndef CORELIB_DEVICEINTERFACEC_H
#define CORELIB_DEVICEINTERFACEC_H

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

#endif
