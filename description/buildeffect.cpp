#include "description/buildeffect.h"

#include <string>
#include <utility>
#include <vector>

#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/ownedobject.h"
#include "description/buildanimation.h"
#include "description/buildparam.h"
#include "description/classchoice.h"
#include "description/descriptionnodec.h"
#include "registry/classregistryc.h"

namespace {

using ParamNodeS = std::pair<ParamBaseC*, NodeC>;

GizmoBaseC* find_gizmo(const NodeC& rName, EffectBaseC* pEffect, const std::string& rGizmoName) {
  std::string sNames;
  for (int32_t i = 0; i < pEffect->get_gizmo_count(); ++i) {
    GizmoBaseC* pGizmo = pEffect->get_gizmo(i);
    if (rGizmoName == pGizmo->get_name()) {
      return pGizmo;
    }
    sNames += std::string(sNames.empty() ? "" : ", ") + pGizmo->get_name();
  }
  rName.fail("the effect has no gizmo \"" + rGizmoName + "\" (it has: " + sNames + ")");
}

ParamBaseC* find_param(const NodeC& rName, GizmoBaseC* pGizmo, const std::string& rParamName) {
  std::string sNames;
  for (int32_t i = 0; i < pGizmo->get_param_count(); ++i) {
    ParamBaseC* pParam = pGizmo->get_param(i);
    if (rParamName == pParam->get_name()) {
      return pParam;
    }
    sNames += std::string(sNames.empty() ? "" : ", ") + pParam->get_name();
  }
  rName.fail("the gizmo has no parameter \"" + rParamName + "\" (it has: " + sNames + ")");
}

// Every described parameter with its description, named ones checked.
std::vector<ParamNodeS> described_params(const NodeC& rParams, EffectBaseC* pEffect) {
  if (!rParams.is_object()) {
    rParams.fail("expected an object of gizmos by name");
  }
  std::vector<ParamNodeS> rFound;
  for (auto itGizmo = rParams.json().begin(); itGizmo != rParams.json().end(); ++itGizmo) {
    const NodeC rGizmoNode = rParams.member(itGizmo.key().c_str());
    GizmoBaseC* pGizmo = find_gizmo(rGizmoNode, pEffect, itGizmo.key());
    if (!rGizmoNode.is_object()) {
      rGizmoNode.fail("expected an object of parameters by name");
    }
    for (auto itParam = rGizmoNode.json().begin(); itParam != rGizmoNode.json().end(); ++itParam) {
      const NodeC rParamNode = rGizmoNode.member(itParam.key().c_str());
      rFound.emplace_back(find_param(rParamNode, pGizmo, itParam.key()), rParamNode);
    }
  }
  return rFound;
}

void build_params(const NodeC& rParams, EffectBaseC* pEffect, ImportListC* pFiles) {
  const std::vector<ParamNodeS> rParamNodes = described_params(rParams, pEffect);
  for (const ParamNodeS& rEntry : rParamNodes) {
    if (rEntry.first->get_type() == PARAM_KIND_FILE) {
      set_param_file(rEntry.second, static_cast<FileParamC*>(rEntry.first), pFiles);
    }
  }
  for (const ParamNodeS& rEntry : rParamNodes) {
    if (rEntry.first->get_type() != PARAM_KIND_FILE) {
      build_value_param(rEntry.second, rEntry.first);
    }
  }
  for (const ParamNodeS& rEntry : rParamNodes) {
    if (rEntry.first->get_type() == PARAM_KIND_FILE) {
      finish_file_param(rEntry.second, static_cast<FileParamC*>(rEntry.first));
    }
  }
}

void build_gizmo_flags(const NodeC& rFlags, EffectBaseC* pEffect) {
  if (!rFlags.is_object()) {
    rFlags.fail("expected an object of flags by gizmo name");
  }
  for (auto it = rFlags.json().begin(); it != rFlags.json().end(); ++it) {
    const NodeC rGizmoFlags = rFlags.member(it.key().c_str());
    find_gizmo(rGizmoFlags, pEffect, it.key())->set_flags(rGizmoFlags.to_uint32());
  }
}

OwnedT<EffectBaseC> create_effect(const NodeC& rEffect, ClassRegistryC* pRegistry) {
  if (rEffect.has("missing_class")) {
    rEffect.member("missing_class").fail("the effect's data was not read, since its class was missing");
  }
  const ClassChoiceS rChoice =
      choose_class(rEffect.member("class"), pRegistry, PluginClass::CLASS_KIND_EFFECT, true);
  DataObjectC* pObject = rChoice.m_pDesc->make_object();
  OwnedT<EffectBaseC> pEffect(dynamic_cast<EffectBaseC*>(pObject));
  if (!pEffect) {
    if (pObject) {
      pObject->release();
    }
    rEffect.member("class").fail("the class made no effect");
  }
  return pEffect;
}

}  // namespace

EffectBaseC* build_effect(const NodeC& rEffect, ClassRegistryC* pRegistry, ImportListC* pFiles) {
  rEffect.expect_object({"class", "name", "flags", "time_segment", "gizmo_flags", "params", "missing_class"});
  OwnedT<EffectBaseC> pEffect = create_effect(rEffect, pRegistry);
  if (rEffect.has("name")) {
    pEffect->set_name(rEffect.member("name").to_string().c_str());
  }
  if (rEffect.has("flags")) {
    pEffect->set_flags(rEffect.member("flags").to_int32());
  }
  if (rEffect.has("time_segment")) {
    build_segment(rEffect.member("time_segment"), pEffect->get_time_segment());
  }
  if (rEffect.has("gizmo_flags")) {
    build_gizmo_flags(rEffect.member("gizmo_flags"), pEffect.get());
  }
  if (rEffect.has("params")) {
    build_params(rEffect.member("params"), pEffect.get(), pFiles);
  }
  return pEffect.release();
}
