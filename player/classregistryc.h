#ifndef PLAYER_CLASSREGISTRYC_H
#define PLAYER_CLASSREGISTRYC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classdescc.h"
#include "corelib/classidentc.h"

class DataObjectC;

// Library name of the classes the program registers itself.
constexpr const char* INTERNAL_LIBRARY_NAME = "<internal>";

// Every class the player can create, in the order registered. Objects are made
// by class identifier without knowing which library provides the class.
class ClassRegistryC {
 public:
  ClassRegistryC() = default;
  ClassRegistryC(const ClassRegistryC&) = delete;
  ClassRegistryC& operator=(const ClassRegistryC&) = delete;

  virtual ~ClassRegistryC();
  virtual void register_internal(PluginClass::ClassDescC* pDesc);
  // A new object of the first class registered under rClass, or null.
  virtual DataObjectC* create_object(const ClassIdentC& rClass);
  virtual int32_t get_class_count();
  virtual PluginClass::ClassDescC* find_class(const ClassIdentC& rClass);
  virtual PluginClass::ClassDescC* get_class(int32_t i32Index);
  virtual const char* get_library_name(int32_t i32Index);

 private:
  struct ClassEntryS {
    PluginClass::ClassDescC* m_pDesc;  // lives inside its library
    std::string m_sLibraryName;
  };

  std::vector<ClassEntryS> m_rClasses;
};

#endif
