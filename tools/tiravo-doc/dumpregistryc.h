#ifndef TOOLS_TIRAVO_DOC_DUMPREGISTRYC_H
#define TOOLS_TIRAVO_DOC_DUMPREGISTRYC_H

#include <memory>
#include <string>
#include <vector>

#include "registry/classregistryc.h"
#include "tools/tiravo-doc/placeholdereffectc.h"

// The registry a dump loads with: a class that no plug-in provides is found
// all the same, as a placeholder effect, so a layer does not stop at it.
// The layer asks right after reading the stored class name, so the reader's
// last string is that name.
class DumpRegistryC : public ClassRegistryC {
 public:
  // The reader's last string while the reader exists, null afterwards.
  void set_last_string(const std::string* pLastString) { m_pLastString = pLastString ? pLastString : &m_sNoString; }

  PluginClass::ClassDescC* find_class(const ClassIdentC& rClass) override;
  // Only what the plug-ins provide.
  PluginClass::ClassDescC* find_provided(const ClassIdentC& rClass);

 private:
  const std::string* m_pLastString = &m_sNoString;
  std::string m_sNoString;
  std::vector<std::unique_ptr<PlaceholderDescC>> m_rPlaceholders;
};

#endif
