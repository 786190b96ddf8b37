#ifndef REGISTRY_PLUGINSEARCH_H
#define REGISTRY_PLUGINSEARCH_H

#include <string>
#include <vector>

class ClassRegistryC;

// Folders a user adds to the search, separated by colons.
constexpr const char* PLUGIN_PATH_VARIABLE = "TIRAVO_PLUGIN_PATH";

// The folders searched when none is named, in order: "plugins" in the
// current directory, each folder of szPathVariable (may be null; empty
// entries are skipped), the user's folder, then the installed folder (each
// skipped when empty).
std::vector<std::string> plugin_search_folders(const char* szPathVariable, const std::string& rUserFolder,
                                               const std::string& rInstalledFolder);

// The folder a user keeps plug-ins of their own in: tiravo/plugins in the
// user's data folder, szDataHome when that is an absolute path, else
// .local/share below szHome. Empty when neither is known.
std::string user_plugin_folder(const char* szDataHome, const char* szHome);

// The folder an installation keeps its plug-ins in, found from the running
// program so that a moved installation still finds its own.
std::string installed_plugin_folder();

// How a search treats a missing "plugins": the player lets the registry
// decide, which scans the current directory only when it is the player's own
// folder; the document tool passes over it rather than load whatever
// libraries lie about.
enum LocalFolderE { LOCAL_FOLDER_AS_SCANNED, LOCAL_FOLDER_IF_PRESENT };

// Loads the plug-ins of each folder in order: the first as the registry
// scans a folder (or, with LOCAL_FOLDER_IF_PRESENT, only when it exists),
// the others only when they exist. A file name loaded from an earlier folder
// is skipped.
void load_plugin_folders(ClassRegistryC* pRegistry, const std::vector<std::string>& rFolders, LocalFolderE eLocal);

// Loads the plug-ins of rFolder alone, as the registry scans a folder; with
// an empty rFolder, those of every search folder in order. Later folders
// that do not exist are passed over, and a file name loaded from an earlier
// folder is skipped. The folders searched, for a user who finds nothing.
std::vector<std::string> find_plugins(ClassRegistryC* pRegistry, const std::string& rFolder,
                                      LocalFolderE eLocal = LOCAL_FOLDER_AS_SCANNED);

// The folders as a user reads them: "a, b and c".
std::string folder_list_text(const std::vector<std::string>& rFolders);

#endif
