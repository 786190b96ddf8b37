#ifndef REGISTRY_CLASSREGISTRYC_H
#define REGISTRY_CLASSREGISTRYC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classdescc.h"
#include "corelib/classidentc.h"

class DataObjectC;
class PluginLibraryC;

// Library name of the classes the program registers itself.
constexpr const char* INTERNAL_LIBRARY_NAME = "<internal>";

// What became of one library file that load_plugins found.
struct PluginFileS {
  std::string m_sPath;  // the folder as scanned, then the file name
  std::string m_sFileName;
  PluginLibraryC* m_pLibrary = nullptr;  // owned by the registry; null when refused
  bool m_bVersionKnown = false;
  int32_t m_i32ApiVersion = 0;
  std::string m_sRefusal;  // why it was not loaded, for a user
};

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
  // the one accepted, in the order of the file names, and registers its
  // classes. Diagnostics go to the debugger output. A directory that cannot
  // be read is replaced by the current one only when that is the running
  // program's own folder; otherwise one line says where nothing was loaded
  // from. The current directory is never changed. Called once per folder of
  // a search, it skips a file name already loaded.
  virtual void load_plugins(const char* szDirectory);
  virtual void register_internal(PluginClass::ClassDescC* pDesc);
  // A new object of the first class registered under rClass, or null.
  virtual DataObjectC* create_object(const ClassIdentC& rClass);
  virtual int32_t get_class_count();
  virtual PluginClass::ClassDescC* find_class(const ClassIdentC& rClass);
  virtual PluginClass::ClassDescC* get_class(int32_t i32Index);
  virtual const char* get_library_name(int32_t i32Index);

  // Every library file found so far, loaded or refused, in the order found.
  const std::vector<PluginFileS>& get_plugin_files() const { return m_rFiles; }

 private:
  struct ClassEntryS {
    PluginClass::ClassDescC* m_pDesc;  // lives inside its library
    std::string m_sLibraryName;
  };

  void load_library(PluginFileS* pFile);
  void register_library_classes(PluginLibraryC* pLibrary, const std::string& rFileName);
  // The file loaded earlier under this file name, or null.
  const PluginFileS* find_loaded(const std::string& rFileName) const;

  std::vector<PluginLibraryC*> m_rLibraries;
  std::vector<ClassEntryS> m_rClasses;
  std::vector<PluginFileS> m_rFiles;
};

#endif
