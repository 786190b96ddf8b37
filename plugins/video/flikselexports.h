#ifndef PLUGINS_VIDEO_FLIKSELEXPORTS_H
#define PLUGINS_VIDEO_FLIKSELEXPORTS_H

#include <cstdint>

#include "corelib/pluginexports.h"

// Besides the four exports of every plug-in library, fliksel exports the
// lookup of its help resources under this plain name, for an editing host
// that shows the descriptors' help locations.
constexpr const char* FLIKSEL_EXPORT_FIND_RESOURCE = "fliksel_find_resource";

// The bytes of the resource szName of the type szType ("HTML" for the help
// pages, "IMG" for the logo; null for any type), names and types matched
// without regard to case; their count in *pSize. Null when there is none.
extern "C" PLUGIN_EXPORT const uint8_t* fliksel_find_resource(const char* szType, const char* szName,
                                                              uint32_t* pSize);
using FlikselFindResourceT = const uint8_t* (*)(const char*, const char*, uint32_t*);

#endif
