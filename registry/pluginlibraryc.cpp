#include "registry/pluginlibraryc.h"

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
    m_sLoadError = library_error();
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
  if (!bind(&m_pClassCount, EXPORT_CLASSDESC_COUNT, "get_classdesc_count")) {
    return "DLL_IFACE: class_desc_count failed\n";
  }
  if (!bind(&m_pApiVersion, EXPORT_API_VERSION, "get_api_version")) {
    return "DLL_IFACE: class_api_version failed\n";
  }
  if (!bind(&m_pDllName, EXPORT_DLL_NAME, "get_dll_name")) {
    return "DLL_IFACE: class_dll_name failed\n";
  }
  if (!bind(&m_pClassDesc, EXPORT_CLASSDESC, "get_classdesc")) {
    return "DLL_IFACE: class_classdesc failed\n";
  }
  return nullptr;
}

template <typename FunctionT>
bool PluginLibraryC::bind(FunctionT* pFunction, const char* szDecoratedName, const char* szPlainName) {
  *pFunction = reinterpret_cast<FunctionT>(find_export(szDecoratedName, szPlainName));
  if (!*pFunction) {
    m_sLoadError = std::string("does not export ") + szPlainName;
  }
  return *pFunction != nullptr;
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
