#ifndef CORELIB_CLASSDESCC_H
#define CORELIB_CLASSDESCC_H

#include <cstdint>

#include "corelib/classidentc.h"

class DataObjectC;

namespace PluginClass {

constexpr int32_t CLASS_KIND_EFFECT = 1;
constexpr int32_t CLASS_KIND_IMPORTABLE = 2;
// Device drivers are neither; layers and file lists refuse them.
constexpr int32_t CLASS_KIND_DEVICE_DRIVER = 3;

// Describes one class of a plug-in library. Each library holds one static
// instance per class; texts live as long as the library stays loaded.
class ClassDescC {
 public:
  virtual ~ClassDescC() = default;
  // A new object, owned by the caller and destroyed through its release().
  virtual DataObjectC* make_object() = 0;
  virtual int32_t get_class_kind() = 0;
  virtual ClassIdentC get_class_ident() = 0;
  virtual SuperClassIdentC get_super_class_ident() = 0;
  virtual const char* get_class_name() = 0;
  virtual const char* get_description() = 0;
  virtual const char* get_author() = 0;
  virtual const char* get_copyright() = 0;
  virtual const char* get_web_address() = 0;
  virtual const char* get_help_location() = 0;
  virtual int32_t get_extension_count() = 0;
  // Extension without the dot, or null when i32Index is out of range.
  virtual const char* get_extension(int32_t i32Index) = 0;
  virtual int32_t get_driver_requirement_count() = 0;
  virtual const ClassIdentC* get_driver_requirement(int32_t i32Index) = 0;
};

}  // namespace PluginClass

#endif
