#include "registry/pluginlisting.h"

#include <cstdio>

#include "corelib/classdescc.h"
#include "registry/classregistryc.h"
#include "registry/pluginlibraryc.h"

namespace {

std::string text_or_empty(const char* szText) {
  return szText ? szText : "";
}

std::string hex_text(uint32_t ui32Value) {
  char szText[16];
  std::snprintf(szText, sizeof(szText), "0x%08x", ui32Value);
  return szText;
}

// Padded to the longest, so that the identifiers line up.
std::string kind_text(int32_t i32Kind) {
  switch (i32Kind) {
    case PluginClass::CLASS_KIND_EFFECT:
      return "effect       ";
    case PluginClass::CLASS_KIND_IMPORTABLE:
      return "importable   ";
    case PluginClass::CLASS_KIND_DEVICE_DRIVER:
      return "device driver";
    default:
      return "kind " + std::to_string(i32Kind);
  }
}

std::string version_text(int32_t i32Version) {
  return std::to_string(i32Version >> 16) + "." + std::to_string(i32Version & 0xFFFF);
}

// One line per class; a class that an earlier library registered first
// says which one, since that library's class is the one made.
std::string class_line(ClassRegistryC* pRegistry, int32_t i32Index) {
  PluginClass::ClassDescC* pDesc = pRegistry->get_class(i32Index);
  const ClassIdentC rClass = pDesc->get_class_ident();
  std::string sLine = "  " + kind_text(pDesc->get_class_kind()) + "  " + hex_text(rClass.get_first()) + ":" +
                      hex_text(rClass.get_second()) + "  super " +
                      hex_text(pDesc->get_super_class_ident().get_value()) + "  " +
                      text_or_empty(pDesc->get_class_name()) + ": " + text_or_empty(pDesc->get_description());
  for (int32_t i = 0; i < i32Index; ++i) {
    if (pRegistry->get_class(i)->get_class_ident() == rClass) {
      sLine += " (not used: " + std::string(pRegistry->get_library_name(i)) + " has it first)";
      break;
    }
  }
  return sLine + "\n";
}

std::string file_entry(ClassRegistryC* pRegistry, const PluginFileS& rFile) {
  std::string sEntry = rFile.m_sPath + "\n";
  if (rFile.m_pLibrary) {
    sEntry += "  " + text_or_empty(rFile.m_pLibrary->get_dll_name()) + "\n";
  }
  if (rFile.m_bVersionKnown) {
    sEntry += "  API version " + version_text(rFile.m_i32ApiVersion) + "\n";
  }
  if (!rFile.m_pLibrary) {
    return sEntry + "  refused: " + rFile.m_sRefusal + "\n";
  }
  for (int32_t i = 0; i < pRegistry->get_class_count(); ++i) {
    if (rFile.m_sFileName == pRegistry->get_library_name(i)) {
      sEntry += class_line(pRegistry, i);
    }
  }
  return sEntry;
}

}  // namespace

std::string plugin_listing(ClassRegistryC* pRegistry) {
  std::string sListing;
  for (const PluginFileS& rFile : pRegistry->get_plugin_files()) {
    sListing += file_entry(pRegistry, rFile);
  }
  return sListing;
}
