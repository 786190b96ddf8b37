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

// Names of the regular files of rDirectory (links followed) that end in
// szSuffix, sorted byte by byte, so that the order does not depend on the
// file system. False, with the reason, when the directory cannot be read.
bool list_files(const std::string& rDirectory, const char* szSuffix, std::vector<std::string>* pNames,
                std::string* pReason);
// Whether rDirectory is a directory whose entries can be listed and opened;
// else false, with the reason.
bool can_read_directory(const std::string& rDirectory, std::string* pReason);
bool is_directory(const char* szPath);
// Whether both paths name one directory; false when either cannot be told.
bool same_directory(const std::string& rOne, const std::string& rOther);
// The directory of the running program's file, links resolved; empty when it
// cannot be told.
std::string program_directory();

#endif
