#ifndef CORELIB_IMPORTABLEBASEC_H
#define CORELIB_IMPORTABLEBASEC_H

#include <cstdint>

#include "corelib/classidentc.h"
#include "corelib/editablec.h"

class DeviceTableC;
class TimeBaseC;

// An imported file of a presentation (a video, an image): it names and loads
// the file, saves it inside the document and prepares device resources.
class ImportableBaseC : public EditableC {
 public:
  virtual const char* get_file_name() = 0;
  // pOption is the caller's, passed through unchanged.
  virtual bool load_file(const char* szPath, void* pOption) = 0;
  // Reason 1 before the first frame; reason 2 asks for textures to be deleted.
  virtual void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) = 0;
  virtual int32_t get_item_count();
  virtual void* get_item(int32_t i32Index);
  virtual SuperClassIdentC get_super_class_ident() = 0;
  virtual ClassIdentC get_class_ident() = 0;
  virtual const char* get_class_name() = 0;
  virtual const char* get_info() = 0;
  // Natural length in ticks, -1 when nothing is loaded.
  virtual int32_t get_duration(TimeBaseC* pTimeContext) = 0;
  virtual float get_first_label(TimeBaseC* pTimeContext) = 0;
  virtual float get_last_label(TimeBaseC* pTimeContext) = 0;
  // The effect class an editor creates for this file.
  virtual ClassIdentC get_default_effect() = 0;

 protected:
  ImportableBaseC() = default;
  explicit ImportableBaseC(EditableC* pOriginal) : EditableC(pOriginal) {}
};

#endif
