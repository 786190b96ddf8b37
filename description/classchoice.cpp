#include "description/classchoice.h"

#include <optional>

#include "description/descriptionnodec.h"
#include "registry/classregistryc.h"

namespace {

const char* kind_text(int32_t i32Kind) {
  switch (i32Kind) {
    case PluginClass::CLASS_KIND_EFFECT:
      return "an effect class";
    case PluginClass::CLASS_KIND_IMPORTABLE:
      return "an importable class";
    default:
      return "a device driver class";
  }
}

PluginClass::ClassDescC* find_by_name(ClassRegistryC* pRegistry, const std::string& rName, int32_t i32Kind) {
  for (int32_t i = 0; i < pRegistry->get_class_count(); ++i) {
    PluginClass::ClassDescC* pDesc = pRegistry->get_class(i);
    if (rName == pDesc->get_class_name() && pDesc->get_class_kind() == i32Kind) {
      return pDesc;
    }
  }
  return nullptr;
}

// The id and the name the description gives; either may be absent.
void read_class(const NodeC& rClass, std::optional<ClassIdentC>* pIdent, std::optional<std::string>* pName) {
  if (rClass.json().is_string()) {
    const std::string sText = rClass.to_string();
    *pIdent = parse_class_ident(sText);
    if (!*pIdent) {
      *pName = sText;
    }
    return;
  }
  rClass.expect_object({"id", "name"});
  if (rClass.has("id")) {
    NodeC rIdent = rClass.member("id");
    *pIdent = parse_class_ident(rIdent.to_string());
    if (!*pIdent) {
      rIdent.fail("expected a class identifier \"0xFIRST:0xSECOND\"");
    }
  }
  if (rClass.has("name")) {
    *pName = rClass.member("name").to_string();
  }
  if (!*pIdent && !*pName) {
    rClass.fail("expected \"id\" or \"name\"");
  }
}

ClassChoiceS provided_class(const NodeC& rClass, PluginClass::ClassDescC* pDesc,
                            const std::optional<std::string>& rName, int32_t i32Kind) {
  if (pDesc->get_class_kind() != i32Kind) {
    rClass.fail(std::string("class ") + pDesc->get_class_name() + " is not " + kind_text(i32Kind));
  }
  if (rName && *rName != pDesc->get_class_name()) {
    rClass.fail("the class " + class_ident_text(pDesc->get_class_ident()) + " is named \"" +
                pDesc->get_class_name() + "\", not \"" + *rName + "\"");
  }
  return ClassChoiceS{pDesc->get_class_ident(), pDesc->get_class_name(), pDesc};
}

}  // namespace

ClassChoiceS choose_class(const NodeC& rClass, ClassRegistryC* pRegistry, int32_t i32Kind, bool bProvided) {
  std::optional<ClassIdentC> rIdent;
  std::optional<std::string> rName;
  read_class(rClass, &rIdent, &rName);
  PluginClass::ClassDescC* pDesc =
      rIdent ? pRegistry->find_class(*rIdent) : find_by_name(pRegistry, *rName, i32Kind);
  if (pDesc) {
    return provided_class(rClass, pDesc, rName, i32Kind);
  }
  if (!bProvided && rIdent && rName) {
    return ClassChoiceS{*rIdent, *rName, nullptr};
  }
  rClass.fail(std::string("no plug-in provides the class ") +
              (rIdent ? class_ident_text(*rIdent) : "\"" + *rName + "\""));
}
