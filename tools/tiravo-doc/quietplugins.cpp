#include "tools/tiravo-doc/quietplugins.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "player/classregistryc.h"

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

void load_plugins_quietly(ClassRegistryC* pRegistry, const std::string& rDirectory) {
  std::error_code rError;
  if (!std::filesystem::is_directory(rDirectory, rError)) {
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
    pRegistry->load_plugins(rDirectory.c_str());
    return;
  }
  std::fflush(stderr);
  dup2(fileno(pCapture), STDERR_FILENO);
  pRegistry->load_plugins(rDirectory.c_str());
  std::fflush(stderr);
  dup2(iSaved, STDERR_FILENO);
  close(iSaved);
  const std::string sReport = read_all(pCapture);
  std::fclose(pCapture);
  if (sReport.find(FAILURE_TEXT) != std::string::npos) {
    std::fputs(sReport.c_str(), stderr);
  }
}
