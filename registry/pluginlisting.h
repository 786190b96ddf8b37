#ifndef REGISTRY_PLUGINLISTING_H
#define REGISTRY_PLUGINLISTING_H

#include <string>

class ClassRegistryC;

// Every library file the registry found, as text for a user: its path, its
// own name line and API version, and its classes (kind, class identifier,
// super class, name, description); refused files with the reason.
std::string plugin_listing(ClassRegistryC* pRegistry);

#endif
