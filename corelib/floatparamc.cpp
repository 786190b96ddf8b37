#include "corelib/floatparamc.h"

#include "corelib/animtrackc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t FLOAT_CHUNK_VALUES = 0x3000;

}  // namespace

FloatParamC* FloatParamC::create_param(GizmoBaseC* pParent, const char* szName, float f32Default, int32_t i32Id,
                                       uint32_t ui32Style, bool bAnimatable, float f32Min, float f32Max,
                                       float f32Increment) {
  FloatParamC* pParam = new FloatParamC(pParent, szName, f32Default, i32Id, ui32Style);
  if (bAnimatable) {
    pParam->add_flags(PARAM_FLAG_ANIMATABLE);
  }
  pParam->m_f32Increment = f32Increment;
  pParam->set_min_max(f32Min, f32Max);
  pParam->m_f32Value = pParam->clamp(f32Default);
  return pParam;
}

FloatParamC::FloatParamC(GizmoBaseC* pParent, const char* szName, float f32Default, int32_t i32Id,
                         uint32_t ui32Style)
    : ParamBaseC(pParent, szName, i32Id, ui32Style, AnimTrackC::create_track(PARAM_KIND_FLOAT)),
      m_f32Value(f32Default) {}

FloatParamC::FloatParamC(EditableC* pOriginal) : ParamBaseC(pOriginal) {}

DataObjectC* FloatParamC::create() {
  return new FloatParamC(nullptr, "", 0.0f, 0, 0);
}

EditableC* FloatParamC::create_linked(EditableC* pOriginal) {
  return new FloatParamC(pOriginal);
}

void FloatParamC::copy(EditableC* pSource) {
  ParamBaseC::copy(pSource);
  take_over_fields(static_cast<FloatParamC*>(pSource));
}

void FloatParamC::restore(EditableC* pSource) {
  ParamBaseC::restore(pSource);
  take_over_fields(static_cast<FloatParamC*>(pSource));
}

void FloatParamC::take_over_fields(FloatParamC* pSource) {
  m_f32Value = pSource->m_f32Value;
  m_f32Increment = pSource->m_f32Increment;
  m_f32Min = pSource->m_f32Min;
  m_f32Max = pSource->m_f32Max;
}

int32_t FloatParamC::save(ChunkWriterC* pWriter) {
  save_base_chunk(pWriter);
  const float rValues[4] = {m_f32Value, m_f32Increment, m_f32Min, m_f32Max};
  return save_value_chunk(pWriter, FLOAT_CHUNK_VALUES, rValues, sizeof(rValues));
}

int32_t FloatParamC::load(ChunkReaderC* pReader) {
  return load_param(pReader, [&](uint32_t ui32Id) -> int32_t {
    return ui32Id == FLOAT_CHUNK_VALUES ? load_values(pReader) : CHUNK_OK;
  });
}

// Values are taken as stored, without clamping.
int32_t FloatParamC::load_values(ChunkReaderC* pReader) {
  float rValues[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  int32_t i32Result = pReader->read(rValues, sizeof(rValues));
  if (i32Result == CHUNK_OK) {
    m_f32Value = rValues[0];
    m_f32Increment = rValues[1];
    m_f32Min = rValues[2];
    m_f32Max = rValues[3];
  }
  return i32Result;
}

int32_t FloatParamC::get_type() {
  return PARAM_KIND_FLOAT;
}

void FloatParamC::set_increment(float f32Increment) {
  m_f32Increment = f32Increment;
}

float FloatParamC::get_increment() {
  return m_f32Increment;
}

bool FloatParamC::get_min_max(float* pMin, float* pMax) {
  *pMin = m_f32Min;
  *pMax = m_f32Max;
  return is_clamped();
}

int32_t FloatParamC::set_value(int32_t i32Time, const float* pValue) {
  m_f32Value = clamp(pValue[0]);
  return finish_set_value(i32Time, &m_f32Value, 1);
}

void FloatParamC::get_value(int32_t i32Time, float* pOut) {
  if (!has_track_value()) {
    *pOut = m_f32Value;
    return;
  }
  float f32Value = 0.0f;
  get_track()->get_float(&f32Value, i32Time);
  *pOut = clamp(f32Value);
}

void FloatParamC::set_min_max(float f32Min, float f32Max) {
  m_f32Min = f32Min;
  m_f32Max = f32Max;
  if (f32Min < f32Max || f32Min > f32Max) {
    add_flags(PARAM_FLAG_CLAMP);
  } else {
    remove_flags(PARAM_FLAG_CLAMP);
  }
}

float FloatParamC::get_min() {
  return m_f32Min;
}

float FloatParamC::get_max() {
  return m_f32Max;
}

float FloatParamC::clamp(float f32Value) {
  return is_clamped() ? clamp_component(f32Value, m_f32Min, m_f32Max) : f32Value;
}
