#include "tools/tiravo-doc/quietplugins.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "registry/classregistryc.h"
#include "registry/pluginsearch.h"

namespace {

constexpr const char* FAILURE_TEXT = "Failed.";

std::string read_all(FILE* pFile) {
  std::string sText;
  std::rewind(pFile);
  char szBuffer[512];
  size_t uRead = 0;
  while ((uRead = std::fread(szBuffer, 1, sizeof(szBuffer), pFile)) > 0) {
    sText.append(szBuffer, uRead);
  }
  return sText;
}

}  // namespace

std::string plugin_places(const std::string& rDirectory) {
  if (!rDirectory.empty()) {
    return rDirectory;
  }
  return folder_list_text(plugin_search_folders(std::getenv(PLUGIN_PATH_VARIABLE),
                                                user_plugin_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")),
                                                installed_plugin_folder()));
}

void load_plugins_quietly(ClassRegistryC* pRegistry, const std::string& rDirectory) {
  std::error_code rError;
  if (!rDirectory.empty() && !std::filesystem::is_directory(rDirectory, rError)) {
    const std::string sReason = rError ? ": " + rError.message() : std::string();
    std::fprintf(stderr, "tiravo-doc: warning: no plug-in directory %s%s\n", rDirectory.c_str(), sReason.c_str());
    return;
  }
  // Without a place to hold the report it is shown as it comes.
  std::FILE* pCapture = std::tmpfile();
  const int iSaved = pCapture ? dup(STDERR_FILENO) : -1;
  if (iSaved < 0) {
    if (pCapture) {
      std::fclose(pCapture);
    }
    find_plugins(pRegistry, rDirectory, LOCAL_FOLDER_IF_PRESENT);
    return;
  }
  std::fflush(stderr);
  dup2(fileno(pCapture), STDERR_FILENO);
  find_plugins(pRegistry, rDirectory, LOCAL_FOLDER_IF_PRESENT);
  std::fflush(stderr);
  dup2(iSaved, STDERR_FILENO);
  close(iSaved);
  const std::string sReport = read_all(pCapture);
  std::fclose(pCapture);
  if (sReport.find(FAILURE_TEXT) != std::string::npos) {
    std::fputs(sReport.c_str(), stderr);
  }
  if (pRegistry->get_plugin_files().empty()) {
    std::fprintf(stderr, "tiravo-doc: warning: no plug-in libraries in %s\n", plugin_places(rDirectory).c_str());
  }
}
