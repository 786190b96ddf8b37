#include "registry/pluginsearch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/dynamiclibrary.h"
#include "registry/classregistryc.h"

namespace {

constexpr const char* LOCAL_FOLDER = "plugins";

}  // namespace

std::vector<std::string> plugin_search_folders(const char* szPathVariable, const std::string& rInstalledFolder) {
  std::vector<std::string> rFolders = {LOCAL_FOLDER};
  const std::string sPath = szPathVariable ? szPathVariable : "";
  size_t uStart = 0;
  while (uStart <= sPath.size()) {
    const size_t uEnd = std::min(sPath.find(':', uStart), sPath.size());
    if (uEnd > uStart) {
      rFolders.push_back(sPath.substr(uStart, uEnd - uStart));
    }
    uStart = uEnd + 1;
  }
  if (!rInstalledFolder.empty()) {
    rFolders.push_back(rInstalledFolder);
  }
  return rFolders;
}

std::string installed_plugin_folder() {
  const std::string sProgram = program_directory();
  if (sProgram.empty()) {
    return std::string();
  }
  return (std::filesystem::path(sProgram) / TIRAVO_INSTALLED_PLUGINS).lexically_normal().string();
}

void find_plugins(ClassRegistryC* pRegistry, const std::string& rFolder, LocalFolderE eLocal) {
  if (!rFolder.empty()) {
    pRegistry->load_plugins(rFolder.c_str());
    return;
  }
  load_plugin_folders(pRegistry, plugin_search_folders(std::getenv(PLUGIN_PATH_VARIABLE), installed_plugin_folder()),
                      eLocal);
}

void load_plugin_folders(ClassRegistryC* pRegistry, const std::vector<std::string>& rFolders, LocalFolderE eLocal) {
  for (size_t u = 0; u < rFolders.size(); ++u) {
    const bool bScanAnyway = u == 0 && eLocal == LOCAL_FOLDER_AS_SCANNED;
    if (bScanAnyway || is_directory(rFolders[u].c_str())) {
      pRegistry->load_plugins(rFolders[u].c_str());
    }
  }
}
