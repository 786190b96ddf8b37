#include "registry/pluginsearch.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/dynamiclibrary.h"
#include "registry/classregistryc.h"

namespace {

constexpr const char* LOCAL_FOLDER = "plugins";

}  // namespace

std::vector<std::string> plugin_search_folders(const char* szPathVariable, const std::string& rUserFolder,
                                               const std::string& rInstalledFolder) {
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
  for (const std::string& rFolder : {rUserFolder, rInstalledFolder}) {
    if (!rFolder.empty()) {
      rFolders.push_back(rFolder);
    }
  }
  return rFolders;
}

// Where other programs' per-user plug-ins and data live too; a relative
// XDG_DATA_HOME is ignored, as the base directory rules say.
std::string user_plugin_folder(const char* szDataHome, const char* szHome) {
  std::filesystem::path rData;
  if (szDataHome && szDataHome[0] == '/') {
    rData = szDataHome;
  } else if (szHome && szHome[0] != '\0') {
    rData = std::filesystem::path(szHome) / ".local/share";
  } else {
    return std::string();
  }
  return (rData / "tiravo/plugins").lexically_normal().string();
}

std::string installed_plugin_folder() {
  const std::string sProgram = program_directory();
  if (sProgram.empty()) {
    return std::string();
  }
  return (std::filesystem::path(sProgram) / TIRAVO_INSTALLED_PLUGINS).lexically_normal().string();
}

std::vector<std::string> find_plugins(ClassRegistryC* pRegistry, const std::string& rFolder, LocalFolderE eLocal) {
  if (!rFolder.empty()) {
    pRegistry->load_plugins(rFolder.c_str());
    return {rFolder};
  }
  const std::vector<std::string> rFolders =
      plugin_search_folders(std::getenv(PLUGIN_PATH_VARIABLE),
                            user_plugin_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
                            installed_plugin_folder());
  load_plugin_folders(pRegistry, rFolders, eLocal);
  return rFolders;
}

std::string folder_list_text(const std::vector<std::string>& rFolders) {
  std::string sText;
  for (size_t u = 0; u < rFolders.size(); ++u) {
    sText += (u == 0 ? "" : u + 1 == rFolders.size() ? " and " : ", ") + rFolders[u];
  }
  return sText;
}

void load_plugin_folders(ClassRegistryC* pRegistry, const std::vector<std::string>& rFolders, LocalFolderE eLocal) {
  for (size_t u = 0; u < rFolders.size(); ++u) {
    const bool bScanAnyway = u == 0 && eLocal == LOCAL_FOLDER_AS_SCANNED;
    if (bScanAnyway || is_directory(rFolders[u].c_str())) {
      pRegistry->load_plugins(rFolders[u].c_str());
    }
  }
}
