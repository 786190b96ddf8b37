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

bool is_regular_file(const char* szName) {
  struct stat rStatus {};
  return stat(szName, &rStatus) == 0 && S_ISREG(rStatus.st_mode);
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
    if (ends_with(sName, szSuffix) && is_regular_file(sName.c_str())) {
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
