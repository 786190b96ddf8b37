#include "platform/dynamiclibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

void* library_open(const char* szFileName) {
  // dlopen looks a name without a slash up in the system's paths: the
  // plug-in is the file in the current directory.
  std::string sPath = std::strchr(szFileName, '/') ? szFileName : std::string("./") + szFileName;
  return dlopen(sPath.c_str(), RTLD_NOW | RTLD_LOCAL);
}

std::string library_error() {
  const char* szError = dlerror();
  return szError ? szError : "unknown error";
}

void* library_symbol(void* pLibrary, const char* szName) {
  return dlsym(pLibrary, szName);
}

void library_close(void* pLibrary) {
  dlclose(pLibrary);
}

namespace {

bool ends_with(const std::string& rText, const char* szSuffix) {
  const size_t uLength = std::strlen(szSuffix);
  return rText.size() >= uLength && rText.compare(rText.size() - uLength, uLength, szSuffix) == 0;
}

}  // namespace

bool list_files(const std::string& rDirectory, const char* szSuffix, std::vector<std::string>* pNames,
                std::string* pReason) {
  pNames->clear();
  if (!can_read_directory(rDirectory, pReason)) {
    return false;
  }
  std::error_code rError;
  std::filesystem::directory_iterator rEntries(rDirectory, rError);
  for (; !rError && rEntries != std::filesystem::directory_iterator(); rEntries.increment(rError)) {
    std::string sName = rEntries->path().filename().string();
    std::error_code rTypeError;
    if (ends_with(sName, szSuffix) && rEntries->is_regular_file(rTypeError)) {
      pNames->push_back(std::move(sName));
    }
  }
  if (rError) {
    *pReason = rError.message();
    pNames->clear();
    return false;
  }
  std::sort(pNames->begin(), pNames->end());
  return true;
}

bool can_read_directory(const std::string& rDirectory, std::string* pReason) {
  std::error_code rError;
  if (!std::filesystem::is_directory(rDirectory, rError)) {
    *pReason = rError ? rError.message() : "not a directory";
    return false;
  }
  if (access(rDirectory.c_str(), R_OK | X_OK) != 0) {
    *pReason = std::strerror(errno);
    return false;
  }
  return true;
}

bool is_directory(const char* szPath) {
  std::error_code rError;
  return std::filesystem::is_directory(szPath, rError);
}

bool same_directory(const std::string& rOne, const std::string& rOther) {
  std::error_code rError;
  return !rOne.empty() && !rOther.empty() && std::filesystem::equivalent(rOne, rOther, rError) && !rError;
}

std::string program_directory() {
  char szPath[PATH_MAX];
  const ssize_t iLength = readlink("/proc/self/exe", szPath, sizeof(szPath) - 1);
  if (iLength <= 0) {
    return std::string();
  }
  const std::string sPath(szPath, static_cast<size_t>(iLength));
  const size_t uSlash = sPath.rfind('/');
  return uSlash == 0 ? std::string("/") : sPath.substr(0, uSlash);
}
