#ifndef REGISTRY_PLUGINLIBRARYC_H
#define REGISTRY_PLUGINLIBRARYC_H

#include <cstdint>
#include <string>

namespace PluginClass {
class ClassDescC;
}

// One loaded plug-in library and its four exports. Unloaded when destroyed.
class PluginLibraryC {
 public:
  PluginLibraryC() = default;
  PluginLibraryC(const PluginLibraryC&) = delete;
  PluginLibraryC& operator=(const PluginLibraryC&) = delete;
  virtual ~PluginLibraryC();

  // Loads the library and binds its exports, each by its decorated name or
  // else its plain name. A library that lacks one is unloaded again, with a
  // diagnostic naming the first missing export.
  bool load(const char* szFileName);
  // Why the last load failed, for a user: the loader's reason, or the
  // export that is missing.
  const std::string& get_load_error() const { return m_sLoadError; }
  int32_t get_class_count();
  PluginClass::ClassDescC* get_class_desc(int32_t i32Index);
  int32_t get_api_version();
  const char* get_dll_name();

 private:
  using CountFunctionT = int (*)();
  using DescFunctionT = PluginClass::ClassDescC* (*)(int);
  using VersionFunctionT = int (*)();
  using NameFunctionT = const char* (*)();

  void* find_export(const char* szDecoratedName, const char* szPlainName);
  const char* bind_exports();
  template <typename FunctionT>
  bool bind(FunctionT* pFunction, const char* szDecoratedName, const char* szPlainName);

  void* m_pLibrary = nullptr;
  CountFunctionT m_pClassCount = nullptr;
  DescFunctionT m_pClassDesc = nullptr;
  VersionFunctionT m_pApiVersion = nullptr;
  NameFunctionT m_pDllName = nullptr;
  std::string m_sLoadError;
};

#endif
