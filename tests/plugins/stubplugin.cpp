#include "corelib/pluginexports.h"

// A plug-in library without classes whose interface version, and whether it
// names itself, come from the build: the libraries the registry must refuse.
#ifndef STUB_API_VERSION
#error "STUB_API_VERSION must be defined"
#endif

PLUGIN_EXPORT int get_classdesc_count() {
  return 0;
}

PLUGIN_EXPORT int get_api_version() {
  return STUB_API_VERSION;
}

#ifndef STUB_WITHOUT_DLL_NAME
PLUGIN_EXPORT const char* get_dll_name() {
  return "stub";
}
#endif

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int) {
  return nullptr;
}
