#include "registry/classregistryc.h"

#include "corelib/pluginexports.h"
#include "platform/debugoutput.h"
#include "platform/dynamiclibrary.h"
#include "registry/pluginlibraryc.h"

ClassRegistryC::~ClassRegistryC() {
  for (PluginLibraryC* pLibrary : m_rLibraries) {
    delete pLibrary;
  }
}

// A directory that cannot be entered leaves the scan in the current one.
void ClassRegistryC::load_plugins(const char* szDirectory) {
  std::string sStartDirectory;
  const bool bCanReturn = get_current_directory(&sStartDirectory);
  const std::string sScanned = change_directory(szDirectory) ? szDirectory : ".";
  for (const std::string& rFileName : list_files(LIBRARY_SUFFIX)) {
    PluginFileS rFile;
    rFile.m_sPath = (sScanned.back() == '/' ? sScanned : sScanned + "/") + rFileName;
    rFile.m_sFileName = rFileName;
    load_library(&rFile);
    m_rFiles.push_back(std::move(rFile));
  }
  if (bCanReturn) {
    change_directory(sStartDirectory.c_str());
  }
}

void ClassRegistryC::load_library(PluginFileS* pFile) {
  const char* szFileName = pFile->m_sFileName.c_str();
  if (const PluginFileS* pEarlier = find_loaded(pFile->m_sFileName)) {
    pFile->m_sRefusal = "a library of this name was loaded from " + pEarlier->m_sPath;
    debug_printf("Skipping plugin %s: loaded from %s\n", szFileName, pEarlier->m_sPath.c_str());
    return;
  }
  debug_printf("Loading plugin %s...\n", szFileName);
  PluginLibraryC* pLibrary = new PluginLibraryC();
  if (!pLibrary->load(szFileName)) {
    debug_output("Failed.\n");
    pFile->m_sRefusal = pLibrary->get_load_error();
    delete pLibrary;
    return;
  }
  const int32_t i32Version = pLibrary->get_api_version();
  debug_printf("API version: %d.%d\n", i32Version >> 16, i32Version & 0xFFFF);
  pFile->m_bVersionKnown = true;
  pFile->m_i32ApiVersion = i32Version;
  if (i32Version != PLUGIN_API_VERSION) {
    debug_output("Failed.\n");
    pFile->m_sRefusal = "the API version is not " + std::to_string(PLUGIN_API_VERSION >> 16) + "." +
                        std::to_string(PLUGIN_API_VERSION & 0xFFFF);
    delete pLibrary;
    return;
  }
  register_library_classes(pLibrary, pFile->m_sFileName);
  m_rLibraries.push_back(pLibrary);
  pFile->m_pLibrary = pLibrary;
}

const PluginFileS* ClassRegistryC::find_loaded(const std::string& rFileName) const {
  for (const PluginFileS& rFile : m_rFiles) {
    if (rFile.m_pLibrary && rFile.m_sFileName == rFileName) {
      return &rFile;
    }
  }
  return nullptr;
}

void ClassRegistryC::register_library_classes(PluginLibraryC* pLibrary, const std::string& rFileName) {
  const int32_t i32Count = pLibrary->get_class_count();
  debug_printf("%d classes\n", i32Count);
  for (int32_t i = 0; i < i32Count; ++i) {
    PluginClass::ClassDescC* pDesc = pLibrary->get_class_desc(i);
    if (pDesc) {
      const char* szName = pDesc->get_class_name();
      debug_printf(" * %s\n", szName ? szName : "");
      m_rClasses.push_back({pDesc, rFileName});
    }
  }
}

void ClassRegistryC::register_internal(PluginClass::ClassDescC* pDesc) {
  if (!pDesc) {
    return;
  }
  m_rClasses.push_back({pDesc, INTERNAL_LIBRARY_NAME});
}

DataObjectC* ClassRegistryC::create_object(const ClassIdentC& rClass) {
  PluginClass::ClassDescC* pDesc = find_class(rClass);
  return pDesc ? pDesc->make_object() : nullptr;
}

int32_t ClassRegistryC::get_class_count() {
  return static_cast<int32_t>(m_rClasses.size());
}

PluginClass::ClassDescC* ClassRegistryC::find_class(const ClassIdentC& rClass) {
  for (const ClassEntryS& rEntry : m_rClasses) {
    if (rEntry.m_pDesc->get_class_ident() == rClass) {
      return rEntry.m_pDesc;
    }
  }
  return nullptr;
}

PluginClass::ClassDescC* ClassRegistryC::get_class(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_class_count()) {
    return nullptr;
  }
  return m_rClasses[static_cast<size_t>(i32Index)].m_pDesc;
}

const char* ClassRegistryC::get_library_name(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_class_count()) {
    return nullptr;
  }
  return m_rClasses[static_cast<size_t>(i32Index)].m_sLibraryName.c_str();
}
