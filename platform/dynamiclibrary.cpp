#include "platform/dynamiclibrary.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

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

bool has_file_type(const char* szName, mode_t uType) {
  struct stat rStatus {};
  return stat(szName, &rStatus) == 0 && (rStatus.st_mode & S_IFMT) == uType;
}

}  // namespace

std::vector<std::string> list_files(const char* szSuffix) {
  std::vector<std::string> rNames;
  DIR* pDirectory = opendir(".");
  if (!pDirectory) {
    return rNames;
  }
  while (dirent* pEntry = readdir(pDirectory)) {
    std::string sName = pEntry->d_name;
    if (ends_with(sName, szSuffix) && has_file_type(sName.c_str(), S_IFREG)) {
      rNames.push_back(std::move(sName));
    }
  }
  closedir(pDirectory);
  return rNames;
}

bool get_current_directory(std::string* pDirectory) {
  char szPath[PATH_MAX];
  if (!getcwd(szPath, sizeof(szPath))) {
    return false;
  }
  *pDirectory = szPath;
  return true;
}

bool change_directory(const char* szDirectory) {
  return chdir(szDirectory) == 0;
}

bool is_directory(const char* szPath) {
  return has_file_type(szPath, S_IFDIR);
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
