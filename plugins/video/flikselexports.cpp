#include "corelib/pluginexports.h"

#include "corelib/classidentc.h"
#include "plugins/video/aviimportc.h"
#include "plugins/video/movieimportc.h"
#include "plugins/video/videoplayereffectc.h"

namespace {

// Constructed after this unit's identifier constants, destroyed before them.
AviImportDescC g_rAviImportDesc;
VideoPlayerDescC g_rVideoPlayerDesc;
MovieImportDescC g_rMovieImportDesc;

}  // namespace

PLUGIN_EXPORT int get_classdesc_count() {
  return 3;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "fliksel.dll - AVI Animation Plugin Copyright (C) 2000 The tiravo developers";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  switch (iIndex) {
    case 0:
      return &g_rAviImportDesc;
    case 1:
      return &g_rVideoPlayerDesc;
    case 2:
      return &g_rMovieImportDesc;
    default:
      return nullptr;
  }
}
