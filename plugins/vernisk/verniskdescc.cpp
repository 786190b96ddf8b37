#include "plugins/vernisk/verniskdescc.h"

#include <cstddef>

#include "plugins/vernisk/verniskclasses.h"

VerniskDescC::VerniskDescC(MakeT pMake, int32_t i32Kind, const ClassIdentC& rIdent,
                           const SuperClassIdentC& rSuperClass, const char* szName, const char* szDescription,
                           std::initializer_list<const char*> rExtensions)
    : m_pMake(pMake),
      m_i32Kind(i32Kind),
      m_rIdent(rIdent),
      m_rSuperClass(rSuperClass),
      m_szName(szName),
      m_szDescription(szDescription),
      m_rExtensions(rExtensions) {}

const char* VerniskDescC::get_author() {
  return VERNISK_AUTHOR;
}

const char* VerniskDescC::get_copyright() {
  return VERNISK_COPYRIGHT;
}

const char* VerniskDescC::get_web_address() {
  return VERNISK_WEB_ADDRESS;
}

const char* VerniskDescC::get_help_location() {
  return "";
}

const char* VerniskDescC::get_extension(int32_t i32Index) {
  return i32Index >= 0 && i32Index < get_extension_count() ? m_rExtensions[static_cast<size_t>(i32Index)] : nullptr;
}

const ClassIdentC* VerniskDescC::get_driver_requirement(int32_t) {
  return &CLASS_OPENGL_DEVICEDRIVER;
}
