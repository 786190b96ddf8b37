#include "corelib/pluginexports.h"
#include "plugins/opengl/opengldriverc.h"

namespace {

OpenGLDriverDescC g_rDriverDesc;

}  // namespace

PLUGIN_EXPORT int get_classdesc_count() {
  return 1;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "opengl.so - OpenGL Device Driver";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex == 0 ? &g_rDriverDesc : nullptr;
}
