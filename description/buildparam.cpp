#include "description/buildparam.h"

#include <vector>

#include "corelib/animtrackc.h"
#include "corelib/colorparamc.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/intparamc.h"
#include "corelib/vector2paramc.h"
#include "description/buildanimation.h"
#include "description/descriptionnodec.h"
#include "description/paramkinds.h"

namespace {

// The members a parameter of each kind may have.
void expect_param_members(const NodeC& rParam, int32_t i32Kind) {
  switch (i32Kind) {
    case PARAM_KIND_INT:
      rParam.expect_object({"kind", "flags", "edit_hint", "value", "increment", "min", "max", "labels", "track"});
      break;
    case PARAM_KIND_FLOAT:
    case PARAM_KIND_VECTOR2:
      rParam.expect_object({"kind", "flags", "edit_hint", "value", "increment", "min", "max", "track"});
      break;
    case PARAM_KIND_COLOR:
      rParam.expect_object({"kind", "flags", "edit_hint", "value", "track"});
      break;
    default:
      rParam.expect_object({"kind", "flags", "edit_hint", "file", "super_filter", "class_filter", "time_offset",
                            "time_scale"});
      break;
  }
  if (rParam.has("kind") && rParam.member("kind").to_string() != param_kind_word(i32Kind)) {
    rParam.member("kind").fail("the parameter is of kind \"" + param_kind_word(i32Kind) + "\"");
  }
}

Vector2C to_vector(const NodeC& rValue) {
  return Vector2C(rValue.to_floats(2).data());
}

void set_int_settings(const NodeC& rParam, IntParamC* pParam) {
  if (rParam.has("increment")) {
    pParam->set_int_increment(rParam.member("increment").to_int32());
  }
  const int32_t i32Min = rParam.has("min") ? rParam.member("min").to_int32() : pParam->get_min();
  const int32_t i32Max = rParam.has("max") ? rParam.member("max").to_int32() : pParam->get_max();
  pParam->set_min_max(i32Min, i32Max);
  if (rParam.has("labels")) {
    pParam->clear_labels();
    for (const NodeC& rLabel : rParam.member("labels").items()) {
      rLabel.expect_object({"value", "text"});
      pParam->set_label(rLabel.member("value").to_int32(), rLabel.member("text").to_string());
    }
  }
}

void set_float_settings(const NodeC& rParam, FloatParamC* pParam) {
  if (rParam.has("increment")) {
    pParam->set_increment(rParam.member("increment").to_float());
  }
  const float f32Min = rParam.has("min") ? rParam.member("min").to_float() : pParam->get_min();
  const float f32Max = rParam.has("max") ? rParam.member("max").to_float() : pParam->get_max();
  pParam->set_min_max(f32Min, f32Max);
}

void set_vector2_settings(const NodeC& rParam, Vector2ParamC* pParam) {
  if (rParam.has("increment")) {
    pParam->set_increment(rParam.member("increment").to_float());
  }
  const Vector2C rMin = rParam.has("min") ? to_vector(rParam.member("min")) : pParam->get_min();
  const Vector2C rMax = rParam.has("max") ? to_vector(rParam.member("max")) : pParam->get_max();
  pParam->set_min_max(rMin, rMax);
}

// The limits, increments and labels, which set_min_max ties to the clamp flag.
void set_kind_settings(const NodeC& rParam, ParamBaseC* pParam) {
  switch (pParam->get_type()) {
    case PARAM_KIND_INT:
      set_int_settings(rParam, static_cast<IntParamC*>(pParam));
      break;
    case PARAM_KIND_FLOAT:
      set_float_settings(rParam, static_cast<FloatParamC*>(pParam));
      break;
    case PARAM_KIND_VECTOR2:
      set_vector2_settings(rParam, static_cast<Vector2ParamC*>(pParam));
      break;
    default:
      break;
  }
}

// A colour is always limited to [0, 1]; a value outside would be changed.
std::vector<float> color_value(const NodeC& rValue) {
  std::vector<float> rComponents = rValue.to_floats(4);
  for (float f32Component : rComponents) {
    if (!(f32Component >= 0.0f && f32Component <= 1.0f)) {
      rValue.fail("expected four numbers from 0 to 1");
    }
  }
  return rComponents;
}

// The constant is stored as written: neither clamped nor written as a key.
void set_constant(const NodeC& rValue, ParamBaseC* pParam) {
  const int32_t i32Kind = pParam->get_type();
  if (i32Kind == PARAM_KIND_INT) {
    const int32_t i32Value = rValue.to_int32();
    with_constant_value(pParam, [&] { static_cast<IntParamC*>(pParam)->set_value(0, &i32Value); });
    return;
  }
  const std::vector<float> rComponents = i32Kind == PARAM_KIND_COLOR    ? color_value(rValue)
                                         : i32Kind == PARAM_KIND_VECTOR2 ? rValue.to_floats(2)
                                                                         : rValue.to_floats(1);
  with_constant_value(pParam, [&] { pParam->set_value(0, rComponents.data()); });
}

bool has_keys(const NodeC& rParam) {
  if (!rParam.has("track")) {
    return false;
  }
  NodeC rTrack = rParam.member("track");
  return rTrack.has("keys") && !rTrack.member("keys").json().empty();
}

void set_base_fields(const NodeC& rParam, ParamBaseC* pParam) {
  if (rParam.has("flags")) {
    pParam->set_flags(rParam.member("flags").to_flags(PARAM_FLAG_WORDS));
  }
  if (rParam.has("edit_hint")) {
    NodeC rHint = rParam.member("edit_hint");
    if (rHint.to_int32() < 1) {
      rHint.fail("expected a whole number of at least 1");
    }
    pParam->set_edit_hint(rHint.to_int32());
  }
}

void set_file_filters(const NodeC& rParam, FileParamC* pParam) {
  if (rParam.has("super_filter")) {
    NodeC rFilter = rParam.member("super_filter");
    std::optional<uint32_t> rValue = parse_hex(rFilter.to_string());
    if (!rValue) {
      rFilter.fail("expected a super class identifier \"0x...\"");
    }
    pParam->set_super_filter(SuperClassIdentC(*rValue));
  }
  if (rParam.has("class_filter")) {
    NodeC rFilter = rParam.member("class_filter");
    std::optional<ClassIdentC> rClass = parse_class_ident(rFilter.to_string());
    if (!rClass) {
      rFilter.fail("expected a class identifier \"0xFIRST:0xSECOND\"");
    }
    pParam->set_class_filter(*rClass);
  }
}

ImportHandleC* file_handle(const NodeC& rFile, ImportListC* pFiles) {
  if (rFile.json().is_null()) {
    return nullptr;
  }
  const int32_t i32Index = rFile.to_int32();
  ImportHandleC* pHandle = i32Index >= 0 ? pFiles->get_handle(i32Index) : nullptr;
  if (!pHandle) {
    rFile.fail("no file " + std::to_string(i32Index) + " in \"files\", which has " +
               std::to_string(pFiles->get_handle_count()));
  }
  return pHandle;
}

void set_file(const NodeC& rFile, FileParamC* pParam, ImportListC* pFiles) {
  ImportHandleC* pHandle = file_handle(rFile, pFiles);
  pParam->set_file(pHandle);
  if (pParam->get_file() != pHandle) {
    rFile.fail(std::string("the parameter does not take a file of class ") +
               pHandle->get_importable()->get_class_name());
  }
}

}  // namespace

// A bare value is the file's index.
void set_param_file(const NodeC& rParam, FileParamC* pParam, ImportListC* pFiles) {
  if (!rParam.is_object()) {
    set_file(rParam, pParam, pFiles);
    return;
  }
  expect_param_members(rParam, PARAM_KIND_FILE);
  set_file_filters(rParam, pParam);
  if (rParam.has("file")) {
    set_file(rParam.member("file"), pParam, pFiles);
  }
}

// A bare value is the constant value.
void build_value_param(const NodeC& rParam, ParamBaseC* pParam) {
  if (!rParam.is_object()) {
    set_constant(rParam, pParam);
    return;
  }
  expect_param_members(rParam, pParam->get_type());
  set_kind_settings(rParam, pParam);
  if (rParam.has("track")) {
    build_track(rParam.member("track"), pParam);
  }
  if (rParam.has("value")) {
    set_constant(rParam.member("value"), pParam);
  }
  if (!rParam.has("flags") && has_keys(rParam)) {
    pParam->add_flags(PARAM_FLAG_ANIMATED);
  }
  set_base_fields(rParam, pParam);
}

void finish_file_param(const NodeC& rParam, FileParamC* pParam) {
  if (!rParam.is_object()) {
    return;
  }
  if (rParam.has("time_offset")) {
    pParam->set_time_offset(rParam.member("time_offset").to_int32());
  }
  if (rParam.has("time_scale")) {
    pParam->set_time_scale(rParam.member("time_scale").to_float());
  }
  set_base_fields(rParam, pParam);
}
