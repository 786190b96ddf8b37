#include "tools/tiravo-doc/effectdump.h"

#include "corelib/colorparamc.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/intparamc.h"
#include "corelib/vector2paramc.h"
#include "description/paramkinds.h"
#include "tools/tiravo-doc/animationdump.h"
#include "tools/tiravo-doc/placeholdereffectc.h"

namespace {

JsonT vector_json(const Vector2C& rValue) {
  return JsonT::array({float_to_json(rValue.m_f32X), float_to_json(rValue.m_f32Y)});
}

void dump_int(IntParamC* pParam, JsonT* pJson) {
  int32_t i32Value = 0;
  with_constant_value(pParam, [&] { pParam->get_value(0, &i32Value); });
  (*pJson)["value"] = i32Value;
  (*pJson)["increment"] = pParam->get_int_increment();
  (*pJson)["min"] = pParam->get_min();
  (*pJson)["max"] = pParam->get_max();
  JsonT rLabels = JsonT::array();
  for (int32_t i = 0; i < pParam->get_label_count(); ++i) {
    rLabels.push_back(JsonT{{"value", pParam->get_label_value(i)}, {"text", pParam->get_label_text(i)}});
  }
  (*pJson)["labels"] = rLabels;
}

void dump_float(FloatParamC* pParam, JsonT* pJson) {
  float f32Value = 0.0f;
  with_constant_value(pParam, [&] { pParam->get_value(0, &f32Value); });
  (*pJson)["value"] = float_to_json(f32Value);
  (*pJson)["increment"] = float_to_json(pParam->get_increment());
  (*pJson)["min"] = float_to_json(pParam->get_min());
  (*pJson)["max"] = float_to_json(pParam->get_max());
}

void dump_vector2(Vector2ParamC* pParam, JsonT* pJson) {
  Vector2C rValue;
  with_constant_value(pParam, [&] { pParam->get_value(0, &rValue); });
  (*pJson)["value"] = vector_json(rValue);
  (*pJson)["increment"] = float_to_json(pParam->get_increment());
  (*pJson)["min"] = vector_json(pParam->get_min());
  (*pJson)["max"] = vector_json(pParam->get_max());
}

void dump_color(ColorParamC* pParam, JsonT* pJson) {
  float rValue[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  with_constant_value(pParam, [&] { pParam->get_value(0, rValue); });
  (*pJson)["value"] = key_values_json(rValue, 4);
}

// Filters and timing are saved only with a file.
void dump_file(FileParamC* pParam, const FileIndexF& rFileIndex, JsonT* pJson) {
  ImportHandleC* pHandle = pParam->get_file();
  const int32_t i32Index = pHandle ? rFileIndex(pHandle) : -1;
  if (i32Index < 0) {
    (*pJson)["file"] = nullptr;
    return;
  }
  (*pJson)["file"] = i32Index;
  (*pJson)["super_filter"] = hex_text(pParam->get_super_filter().get_value());
  (*pJson)["class_filter"] = class_ident_text(pParam->get_class_filter());
  (*pJson)["time_offset"] = pParam->get_time_offset();
  (*pJson)["time_scale"] = float_to_json(pParam->get_time_scale());
}

void dump_kind_values(ParamBaseC* pParam, const FileIndexF& rFileIndex, JsonT* pJson) {
  switch (pParam->get_type()) {
    case PARAM_KIND_INT:
      dump_int(static_cast<IntParamC*>(pParam), pJson);
      break;
    case PARAM_KIND_FLOAT:
      dump_float(static_cast<FloatParamC*>(pParam), pJson);
      break;
    case PARAM_KIND_VECTOR2:
      dump_vector2(static_cast<Vector2ParamC*>(pParam), pJson);
      break;
    case PARAM_KIND_COLOR:
      dump_color(static_cast<ColorParamC*>(pParam), pJson);
      break;
    case PARAM_KIND_FILE:
      dump_file(static_cast<FileParamC*>(pParam), rFileIndex, pJson);
      break;
    default:
      break;
  }
}

JsonT dump_gizmo_flags(EffectBaseC* pEffect) {
  JsonT rFlags = JsonT::object();
  for (int32_t i = 0; i < pEffect->get_gizmo_count(); ++i) {
    GizmoBaseC* pGizmo = pEffect->get_gizmo(i);
    rFlags[pGizmo->get_name()] = pGizmo->get_flags();
  }
  return rFlags;
}

JsonT dump_gizmo_params(GizmoBaseC* pGizmo, const FileIndexF& rFileIndex) {
  JsonT rParams = JsonT::object();
  for (int32_t i = 0; i < pGizmo->get_param_count(); ++i) {
    ParamBaseC* pParam = pGizmo->get_param(i);
    rParams[pParam->get_name()] = dump_param(pParam, rFileIndex);
  }
  return rParams;
}

}  // namespace

JsonT dump_param(ParamBaseC* pParam, const FileIndexF& rFileIndex) {
  JsonT rJson = JsonT::object();
  rJson["kind"] = param_kind_word(pParam->get_type());
  rJson["flags"] = flags_to_json(pParam->get_flags(), PARAM_FLAG_WORDS);
  rJson["edit_hint"] = pParam->get_edit_hint();
  dump_kind_values(pParam, rFileIndex, &rJson);
  if (pParam->get_type() != PARAM_KIND_FILE && pParam->get_track()) {
    rJson["track"] = dump_track(pParam->get_track());
  }
  return rJson;
}

JsonT dump_effect(EffectBaseC* pEffect, const FileIndexF& rFileIndex) {
  JsonT rJson = JsonT::object();
  rJson["class"] = class_json(pEffect->get_class_ident(), pEffect->get_class_name());
  if (dynamic_cast<PlaceholderEffectC*>(pEffect)) {
    rJson["missing_class"] = true;
    return rJson;
  }
  rJson["name"] = pEffect->get_name();
  rJson["flags"] = pEffect->get_flags();
  rJson["time_segment"] = dump_segment(pEffect->get_time_segment());
  rJson["gizmo_flags"] = dump_gizmo_flags(pEffect);
  JsonT rParams = JsonT::object();
  for (int32_t i = 0; i < pEffect->get_gizmo_count(); ++i) {
    GizmoBaseC* pGizmo = pEffect->get_gizmo(i);
    rParams[pGizmo->get_name()] = dump_gizmo_params(pGizmo, rFileIndex);
  }
  rJson["params"] = rParams;
  return rJson;
}
