#ifndef PLUGINS_VIDEO_HELPRESOURCES_H
#define PLUGINS_VIDEO_HELPRESOURCES_H

#include <cstdint>

// The help pages and their logo, built into the library. A help location
// "res://NAME" names the HTML resource NAME; the pages show the logo as
// "res://IMG/LOGO.GIF", the resource LOGO.GIF of the type IMG. Both are
// resolved against the library the location came from.
constexpr const char* HELP_RESOURCE_TYPE_HTML = "HTML";
constexpr const char* HELP_RESOURCE_TYPE_IMAGE = "IMG";

// The bytes of the resource named szName of the type szType, both matched
// without regard to case, and their count in *pSize; null, with *pSize 0,
// when there is none. A null szType matches any type.
const uint8_t* find_help_resource(const char* szType, const char* szName, uint32_t* pSize);

// Made at build time from plugins/video/help/.
extern const uint8_t g_rAviHelpPage[];
extern const uint32_t g_rAviHelpPage_size;
extern const uint8_t g_rAviPlayerHelpPage[];
extern const uint32_t g_rAviPlayerHelpPage_size;
extern const uint8_t g_rMovieHelpPage[];
extern const uint32_t g_rMovieHelpPage_size;
extern const uint8_t g_rHelpLogo[];
extern const uint32_t g_rHelpLogo_size;

#endif
