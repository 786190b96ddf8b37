#ifndef PLAYER_CLASSREGISTRYC_H
#define PLAYER_CLASSREGISTRYC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classdescc.h"
#include "corelib/classidentc.h"

class DataObjectC;
class PluginLibraryC;

// Library name of the classes the program registers itself.
constexpr const char* INTERNAL_LIBRARY_NAME = "<internal>";

// Every class the player can create, in the order registered. Objects are made
// by class identifier without knowing which library provides the class.
class ClassRegistryC {
 public:
  ClassRegistryC() = default;
  ClassRegistryC(const ClassRegistryC&) = delete;
  ClassRegistryC& operator=(const ClassRegistryC&) = delete;

  // Unloads the libraries; every object they made must be gone by then.
  virtual ~ClassRegistryC();
  // Loads every plug-in library of the directory whose interface version is
  // the one accepted, and registers its classes. Diagnostics go to the
  // debugger output. The current directory is the same afterwards.
  virtual void load_plugins(const char* szDirectory);
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

  void load_library(const std::string& rFileName);
  void register_library_classes(PluginLibraryC* pLibrary, const std::string& rFileName);

  std::vector<PluginLibraryC*> m_rLibraries;
  std::vector<ClassEntryS> m_rClasses;
};

#endif
