#ifndef PLATFORM_DYNAMICLIBRARY_H
#define PLATFORM_DYNAMICLIBRARY_H

#include <string>
#include <vector>

// File names of plug-in libraries end in this.
constexpr const char* LIBRARY_SUFFIX = ".so";

// A handle of a loaded library, or null when it cannot be loaded.
void* library_open(const char* szFileName);
// Why the last library_open failed, as the loader tells it.
std::string library_error();
void* library_symbol(void* pLibrary, const char* szName);
void library_close(void* pLibrary);

// Names of the regular files in the current directory that end in szSuffix,
// in the order the file system returns them.
std::vector<std::string> list_files(const char* szSuffix);
// The current directory; false when it cannot be told.
bool get_current_directory(std::string* pDirectory);
bool change_directory(const char* szDirectory);
bool is_directory(const char* szPath);
// The directory of the running program's file, links resolved; empty when it
// cannot be told.
std::string program_directory();

#endif
