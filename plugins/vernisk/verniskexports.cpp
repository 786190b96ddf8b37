#include "corelib/classidentc.h"
#include "corelib/pluginexports.h"
#include "plugins/vernisk/fontimportc.h"
#include "plugins/vernisk/imageimportc.h"
#include "plugins/vernisk/shadereffectc.h"
#include "plugins/vernisk/shaderimportc.h"
#include "plugins/vernisk/texteffectc.h"
#include "plugins/vernisk/textimportc.h"
#include "plugins/vernisk/verniskclasses.h"
#include "plugins/vernisk/verniskdescc.h"

namespace {

using PluginClass::CLASS_KIND_EFFECT;
using PluginClass::CLASS_KIND_IMPORTABLE;

// Constructed after this unit's identifier constants, destroyed before them.
VerniskDescC g_rDescriptors[] = {
    {ImageImportC::make, CLASS_KIND_IMPORTABLE, CLASS_IMAGE_IMPORT, SUPERCLASS_VIDEO_IMPORTABLE,
     IMAGE_IMPORT_CLASS_NAME, "Importer for PNG, JPEG, WebP, BMP, TGA, TIFF and GIF images",
     {"PNG", "JPG", "JPEG", "WEBP", "BMP", "TGA", "TIF", "TIFF", "GIF"}},
    {ShaderImportC::make, CLASS_KIND_IMPORTABLE, CLASS_SHADER_IMPORT, SUPERCLASS_IMPORTABLE,
     SHADER_IMPORT_CLASS_NAME, "Importer for GLSL fragment shaders", {"GLSL", "FRAG"}},
    {ShaderEffectC::make, CLASS_KIND_EFFECT, CLASS_SHADER_EFFECT, SUPERCLASS_EFFECT, SHADER_EFFECT_CLASS_NAME,
     "Shader Effect: a quad drawn by a GLSL fragment shader"},
    {FontImportC::make, CLASS_KIND_IMPORTABLE, CLASS_FONT_IMPORT, SUPERCLASS_IMPORTABLE, FONT_IMPORT_CLASS_NAME,
     "Importer for TrueType and OpenType fonts", {"TTF", "OTF"}},
    {TextImportC::make, CLASS_KIND_IMPORTABLE, CLASS_TEXT_IMPORT, SUPERCLASS_IMPORTABLE, TEXT_IMPORT_CLASS_NAME,
     "Importer for UTF-8 text files", {"TXT"}},
    {TextEffectC::make, CLASS_KIND_EFFECT, CLASS_TEXT_EFFECT, SUPERCLASS_EFFECT, TEXT_EFFECT_CLASS_NAME,
     "Text Effect: text set in a font, revealed character by character"},
};

constexpr int DESCRIPTOR_COUNT = static_cast<int>(sizeof(g_rDescriptors) / sizeof(g_rDescriptors[0]));

}  // namespace

PLUGIN_EXPORT int get_classdesc_count() {
  return DESCRIPTOR_COUNT;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "vernisk.so - Shaders, Text and Images Plugin Copyright (C) 2026 The tiravo developers";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex >= 0 && iIndex < DESCRIPTOR_COUNT ? &g_rDescriptors[iIndex] : nullptr;
}
