#include "player/classregistryc.h"

ClassRegistryC::~ClassRegistryC() = default;

void ClassRegistryC::register_internal(PluginClass::ClassDescC* pDesc) {
  if (!pDesc) {
    return;
  }
  m_rClasses.push_back({pDesc, INTERNAL_LIBRARY_NAME});
}

DataObjectC* ClassRegistryC::create_object(const ClassIdentC& rClass) {
  PluginClass::ClassDescC* pDesc = find_class(rClass);
  return pDesc ? pDesc->make_object() : nullptr;
}

int32_t ClassRegistryC::get_class_count() {
  return static_cast<int32_t>(m_rClasses.size());
}

PluginClass::ClassDescC* ClassRegistryC::find_class(const ClassIdentC& rClass) {
  for (const ClassEntryS& rEntry : m_rClasses) {
    if (rEntry.m_pDesc->get_class_ident() == rClass) {
      return rEntry.m_pDesc;
    }
  }
  return nullptr;
}

PluginClass::ClassDescC* ClassRegistryC::get_class(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_class_count()) {
    return nullptr;
  }
  return m_rClasses[static_cast<size_t>(i32Index)].m_pDesc;
}

const char* ClassRegistryC::get_library_name(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_class_count()) {
    return nullptr;
  }
  return m_rClasses[static_cast<size_t>(i32Index)].m_sLibraryName.c_str();
}
