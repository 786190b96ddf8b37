#ifndef TOOLS_TIRAVO_DOC_QUIETPLUGINS_H
#define TOOLS_TIRAVO_DOC_QUIETPLUGINS_H

#include <string>

class ClassRegistryC;

// Loads the directory's plug-ins, or with an empty rDirectory those of the
// search folders. The registry tells every step on standard error, which
// would bury the tool's own messages: its report is shown only when a
// library failed to load, or a warning when there is no directory or the
// search found no library.
void load_plugins_quietly(ClassRegistryC* pRegistry, const std::string& rDirectory);

// Where the plug-ins were looked for, for messages: rDirectory, or the
// search folders when it is empty.
std::string plugin_places(const std::string& rDirectory);

#endif
