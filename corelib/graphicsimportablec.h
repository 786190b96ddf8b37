#ifndef CORELIB_GRAPHICSIMPORTABLEC_H
#define CORELIB_GRAPHICSIMPORTABLEC_H

#include <cstdint>

#include "corelib/importablebasec.h"

class DeviceDriverBaseC;

// Flags of bind_texture. Without BIND_LINEAR a texture filters nearest.
constexpr uint32_t BIND_CLAMP = 0x10;
constexpr uint32_t BIND_LINEAR = 0x20;
constexpr uint32_t BIND_NEAREST = 0x40;

// An importable that delivers pictures and binds a frame as a texture.
class GraphicsImportableC : public ImportableBaseC {
 public:
  SuperClassIdentC get_super_class_ident() override;
  virtual int32_t get_width() = 0;
  virtual int32_t get_height() = 0;
  virtual int32_t get_data_width() = 0;
  virtual int32_t get_bit_depth() = 0;
  // Pixels of the most recently produced frame, or null.
  virtual void* get_data() = 0;
  virtual void bind_texture(int32_t i32Frame, DeviceDriverBaseC* pDevice, uint32_t ui32Flags) = 0;
  virtual int32_t get_first_frame() = 0;
  virtual int32_t get_frame_count() = 0;
  virtual float get_fps() = 0;

 protected:
  GraphicsImportableC() = default;
  explicit GraphicsImportableC(EditableC* pOriginal) : ImportableBaseC(pOriginal) {}
};

#endif
