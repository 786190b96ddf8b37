#ifndef CORELIB_DEVICEDRIVERBASEC_H
#define CORELIB_DEVICEDRIVERBASEC_H

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/dataobjectc.h"

class ChunkReaderC;
class DeviceInterfaceC;
class HostInterfaceC;
class RgbaColorC;

// Display modes of init_device.
constexpr int32_t DEVICE_MODE_WINDOWED = 2;
constexpr int32_t DEVICE_MODE_FULLSCREEN = 3;

// clear_buffers flag for every buffer.
constexpr uint32_t DEVICE_CLEAR_ALL = 15;

constexpr int32_t DEVICE_STATE_TEXTURES_LOST = 2;

// A device driver plug-in: it owns the output window and the graphics context.
// Per frame the player calls begin_frame, activate, clear_buffers, begin_draw,
// the effects, end_draw, deactivate, end_frame.
class DeviceDriverBaseC : public DataObjectC {
 public:
  virtual SuperClassIdentC get_super_class_ident() = 0;
  virtual ClassIdentC get_class_ident() = 0;
  // DEVICE_STATE_TEXTURES_LOST when the device lost its textures.
  virtual int32_t get_state() = 0;
  // The graphics device returns its viewport interface for SUPERCLASS_VIEWPORT_INTERFACE.
  virtual DeviceInterfaceC* query_interface(const SuperClassIdentC& rSuperClass) = 0;
  // Reads the driver's own data from the document's device chunk.
  virtual int32_t load(ChunkReaderC* pReader) = 0;
  virtual bool init_device(void* pInstance, void* pParent, int32_t i32Id, int32_t i32Mode, int32_t i32Width,
                           int32_t i32Height, int32_t i32BitsPerPixel, HostInterfaceC* pHost) = 0;
  virtual void end_frame() = 0;
  virtual void begin_frame() = 0;
  virtual void* get_window() = 0;
  virtual void clear_buffers(uint32_t ui32Flags, const RgbaColorC& rColor, float f32Depth, int32_t i32Stencil) = 0;
  virtual void activate() = 0;
  virtual void deactivate() = 0;
  virtual void begin_draw() = 0;
  virtual void end_draw() = 0;
};

#endif
