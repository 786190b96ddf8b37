#include "tools/tiravo-doc/dumpregistryc.h"

PluginClass::ClassDescC* DumpRegistryC::find_class(const ClassIdentC& rClass) {
  if (PluginClass::ClassDescC* pDesc = find_provided(rClass)) {
    return pDesc;
  }
  for (const std::unique_ptr<PlaceholderDescC>& rPlaceholder : m_rPlaceholders) {
    if (rPlaceholder->get_class_ident() == rClass) {
      return rPlaceholder.get();
    }
  }
  m_rPlaceholders.push_back(std::make_unique<PlaceholderDescC>(rClass, *m_pLastString));
  return m_rPlaceholders.back().get();
}

PluginClass::ClassDescC* DumpRegistryC::find_provided(const ClassIdentC& rClass) {
  return ClassRegistryC::find_class(rClass);
}
