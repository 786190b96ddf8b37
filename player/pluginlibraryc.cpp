#include "player/pluginlibraryc.h"

#include "corelib/pluginexports.h"
#include "platform/debugoutput.h"
#include "platform/dynamiclibrary.h"

PluginLibraryC::~PluginLibraryC() {
  if (m_pLibrary) {
    library_close(m_pLibrary);
    m_pLibrary = nullptr;
  }
}

bool PluginLibraryC::load(const char* szFileName) {
  m_pLibrary = library_open(szFileName);
  if (!m_pLibrary) {
    return false;
  }
  const char* szFailure = bind_exports();
  if (!szFailure) {
    return true;
  }
  // Forgotten at once, so the destructor does not unload it a second time.
  library_close(m_pLibrary);
  m_pLibrary = nullptr;
  debug_output(szFailure);
  return false;
}

// Null when every export is bound, else the diagnostic of the first missing one.
const char* PluginLibraryC::bind_exports() {
  m_pClassCount = reinterpret_cast<CountFunctionT>(find_export(EXPORT_CLASSDESC_COUNT, "get_classdesc_count"));
  if (!m_pClassCount) {
    return "DLL_IFACE: class_desc_count failed\n";
  }
  m_pApiVersion = reinterpret_cast<VersionFunctionT>(find_export(EXPORT_API_VERSION, "get_api_version"));
  if (!m_pApiVersion) {
    return "DLL_IFACE: class_api_version failed\n";
  }
  m_pDllName = reinterpret_cast<NameFunctionT>(find_export(EXPORT_DLL_NAME, "get_dll_name"));
  if (!m_pDllName) {
    return "DLL_IFACE: class_dll_name failed\n";
  }
  m_pClassDesc = reinterpret_cast<DescFunctionT>(find_export(EXPORT_CLASSDESC, "get_classdesc"));
  if (!m_pClassDesc) {
    return "DLL_IFACE: class_classdesc failed\n";
  }
  return nullptr;
}

void* PluginLibraryC::find_export(const char* szDecoratedName, const char* szPlainName) {
  void* pFunction = library_symbol(m_pLibrary, szDecoratedName);
  return pFunction ? pFunction : library_symbol(m_pLibrary, szPlainName);
}

int32_t PluginLibraryC::get_class_count() {
  return m_pClassCount();
}

PluginClass::ClassDescC* PluginLibraryC::get_class_desc(int32_t i32Index) {
  return m_pClassDesc(i32Index);
}

int32_t PluginLibraryC::get_api_version() {
  return m_pApiVersion();
}

const char* PluginLibraryC::get_dll_name() {
  return m_pDllName();
}
