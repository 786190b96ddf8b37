#include "registry/classregistryc.h"

#include <filesystem>
#include <system_error>

#include "corelib/pluginexports.h"
#include "platform/debugoutput.h"
#include "platform/dynamiclibrary.h"
#include "registry/pluginlibraryc.h"

ClassRegistryC::~ClassRegistryC() {
  for (PluginLibraryC* pLibrary : m_rLibraries) {
    delete pLibrary;
  }
}

namespace {

// The folder of the running program: the one folder that may stand in for a
// plug-in folder that cannot be read, as when player and libraries are kept
// side by side. Any other current directory holds whatever was downloaded or
// unpacked there, and loading a library runs its code.
bool current_is_program_folder() {
  return same_directory(".", program_directory());
}

std::string path_in(const std::string& rFolder, const std::string& rFileName) {
  return (rFolder.back() == '/' ? rFolder : rFolder + "/") + rFileName;
}

}  // namespace

void ClassRegistryC::load_plugins(const char* szDirectory) {
  std::string sScanned = szDirectory;
  std::vector<std::string> rNames;
  std::string sReason;
  if (!list_files(sScanned, LIBRARY_SUFFIX, &rNames, &sReason)) {
    if (!current_is_program_folder()) {
      std::error_code rError;
      const std::string sCurrent = std::filesystem::current_path(rError).string();
      debug_output(("No plug-ins from " + sScanned + " (" + sReason + "), nor from the current directory " +
                    sCurrent + ", which is not the player's folder\n")
                       .c_str());
      return;
    }
    sScanned = ".";
    list_files(sScanned, LIBRARY_SUFFIX, &rNames, &sReason);
  }
  for (const std::string& rFileName : rNames) {
    PluginFileS rFile;
    rFile.m_sPath = path_in(sScanned, rFileName);
    rFile.m_sFileName = rFileName;
    load_library(&rFile);
    m_rFiles.push_back(std::move(rFile));
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
  if (!pLibrary->load(pFile->m_sPath.c_str())) {
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
