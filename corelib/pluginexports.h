#ifndef CORELIB_PLUGINEXPORTS_H
#define CORELIB_PLUGINEXPORTS_H

#include <cstdint>

namespace PluginClass {
class ClassDescC;
}

// The four functions every plug-in library exports. A library defines them
// with PLUGIN_EXPORT; the player finds them by their decorated names, or
// else by their plain names.
#define PLUGIN_EXPORT __attribute__((visibility("default")))

// The only interface version the player accepts: major 0, minor 6.
constexpr int32_t PLUGIN_API_VERSION = 6;

PLUGIN_EXPORT int get_classdesc_count();
PLUGIN_EXPORT int get_api_version();
// One line naming the library.
PLUGIN_EXPORT const char* get_dll_name();
// Null when the index is out of range.
PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex);

// The decorated names of the four exports on this platform.
constexpr const char* EXPORT_CLASSDESC_COUNT = "_Z19get_classdesc_countv";
constexpr const char* EXPORT_API_VERSION = "_Z15get_api_versionv";
constexpr const char* EXPORT_DLL_NAME = "_Z12get_dll_namev";
constexpr const char* EXPORT_CLASSDESC = "_Z13get_classdesci";

#endif
