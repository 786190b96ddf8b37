#ifndef DESCRIPTION_CLASSCHOICE_H
#define DESCRIPTION_CLASSCHOICE_H

#include <cstdint>
#include <string>

#include "corelib/classdescc.h"
#include "corelib/classidentc.h"

class ClassRegistryC;
class NodeC;

// A class named by a description, and its descriptor when a plug-in
// provides it.
struct ClassChoiceS {
  ClassIdentC m_rClass;
  std::string m_sName;
  PluginClass::ClassDescC* m_pDesc = nullptr;
};

// "class": {"id": "0x..:0x..", "name": "..."} with either member alone, or
// one text that is an id or a name. The registry's class must be of
// i32Kind; with bProvided a class the plug-ins lack is an error, without it
// a class given by both id and name is taken as written.
ClassChoiceS choose_class(const NodeC& rClass, ClassRegistryC* pRegistry, int32_t i32Kind, bool bProvided);

#endif
