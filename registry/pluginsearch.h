#ifndef REGISTRY_PLUGINSEARCH_H
#define REGISTRY_PLUGINSEARCH_H

#include <string>
#include <vector>

class ClassRegistryC;

// Folders a user adds to the search, separated by colons.
constexpr const char* PLUGIN_PATH_VARIABLE = "TIRAVO_PLUGIN_PATH";

// The folders searched when none is named, in order: "plugins" in the
// current directory, each folder of szPathVariable (may be null; empty
// entries are skipped), then the installed folder (skipped when empty).
std::vector<std::string> plugin_search_folders(const char* szPathVariable, const std::string& rInstalledFolder);

// The folder an installation keeps its plug-ins in, found from the running
// program so that a moved installation still finds its own.
std::string installed_plugin_folder();

// How a search treats a missing "plugins": the player scans the current
// directory instead, as it always has; the document tool passes over it
// rather than load whatever libraries lie about.
enum LocalFolderE { LOCAL_FOLDER_AS_SCANNED, LOCAL_FOLDER_IF_PRESENT };

// Loads the plug-ins of each folder in order: the first as the registry
// scans a folder (or, with LOCAL_FOLDER_IF_PRESENT, only when it exists),
// the others only when they exist. A file name loaded from an earlier folder
// is skipped.
void load_plugin_folders(ClassRegistryC* pRegistry, const std::vector<std::string>& rFolders, LocalFolderE eLocal);

// Loads the plug-ins of rFolder alone, as the registry scans a folder; with
// an empty rFolder, those of every search folder in order. Later folders
// that do not exist are passed over, and a file name loaded from an earlier
// folder is skipped.
void find_plugins(ClassRegistryC* pRegistry, const std::string& rFolder,
                  LocalFolderE eLocal = LOCAL_FOLDER_AS_SCANNED);

#endif
