#include "corelib/vector2paramc.h"

#include "corelib/animtrackc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t VECTOR2_CHUNK_VALUES = 0x4000;
// Value x, y; increment; min x, y; max x, y.
constexpr int32_t VECTOR2_CHUNK_FLOATS = 7;

}  // namespace

Vector2ParamC* Vector2ParamC::create_param(GizmoBaseC* pParent, const char* szName, const Vector2C& rDefault,
                                           int32_t i32Id, uint32_t ui32Style, bool bAnimatable, const Vector2C& rMin,
                                           const Vector2C& rMax, float f32Increment) {
  Vector2ParamC* pParam = new Vector2ParamC(pParent, szName, rDefault, i32Id, ui32Style);
  if (bAnimatable) {
    pParam->add_flags(PARAM_FLAG_ANIMATABLE);
  }
  pParam->m_f32Increment = f32Increment;
  pParam->set_min_max(rMin, rMax);
  pParam->m_rValue = pParam->clamp(rDefault);
  return pParam;
}

Vector2ParamC::Vector2ParamC(GizmoBaseC* pParent, const char* szName, const Vector2C& rDefault, int32_t i32Id,
                             uint32_t ui32Style)
    : ParamBaseC(pParent, szName, i32Id, ui32Style, AnimTrackC::create_track(PARAM_KIND_VECTOR2)),
      m_rValue(rDefault) {}

Vector2ParamC::Vector2ParamC(EditableC* pOriginal) : ParamBaseC(pOriginal) {}

DataObjectC* Vector2ParamC::create() {
  return new Vector2ParamC(nullptr, "", Vector2C(), 0, 0);
}

EditableC* Vector2ParamC::create_linked(EditableC* pOriginal) {
  return new Vector2ParamC(pOriginal);
}

void Vector2ParamC::copy(EditableC* pSource) {
  ParamBaseC::copy(pSource);
  take_over_fields(static_cast<Vector2ParamC*>(pSource));
}

void Vector2ParamC::restore(EditableC* pSource) {
  ParamBaseC::restore(pSource);
  take_over_fields(static_cast<Vector2ParamC*>(pSource));
}

void Vector2ParamC::take_over_fields(Vector2ParamC* pSource) {
  m_rValue = pSource->m_rValue;
  m_f32Increment = pSource->m_f32Increment;
  m_rMin = pSource->m_rMin;
  m_rMax = pSource->m_rMax;
}

int32_t Vector2ParamC::save(ChunkWriterC* pWriter) {
  save_base_chunk(pWriter);
  const float rValues[VECTOR2_CHUNK_FLOATS] = {m_rValue.m_f32X, m_rValue.m_f32Y, m_f32Increment, m_rMin.m_f32X,
                                                m_rMin.m_f32Y,  m_rMax.m_f32X,   m_rMax.m_f32Y};
  return save_value_chunk(pWriter, VECTOR2_CHUNK_VALUES, rValues, sizeof(rValues));
}

int32_t Vector2ParamC::load(ChunkReaderC* pReader) {
  return load_param(pReader, [&](uint32_t ui32Id) -> int32_t {
    return ui32Id == VECTOR2_CHUNK_VALUES ? load_values(pReader) : CHUNK_OK;
  });
}

// Values are taken as stored, without clamping.
int32_t Vector2ParamC::load_values(ChunkReaderC* pReader) {
  float rValues[VECTOR2_CHUNK_FLOATS] = {};
  int32_t i32Result = pReader->read(rValues, sizeof(rValues));
  if (i32Result == CHUNK_OK) {
    m_rValue = Vector2C(rValues[0], rValues[1]);
    m_f32Increment = rValues[2];
    m_rMin = Vector2C(rValues[3], rValues[4]);
    m_rMax = Vector2C(rValues[5], rValues[6]);
  }
  return i32Result;
}

int32_t Vector2ParamC::get_type() {
  return PARAM_KIND_VECTOR2;
}

void Vector2ParamC::set_increment(float f32Increment) {
  m_f32Increment = f32Increment;
}

float Vector2ParamC::get_increment() {
  return m_f32Increment;
}

bool Vector2ParamC::get_min_max(float* pMin, float* pMax) {
  pMin[0] = m_rMin.m_f32X;
  pMin[1] = m_rMin.m_f32Y;
  pMax[0] = m_rMax.m_f32X;
  pMax[1] = m_rMax.m_f32Y;
  return is_clamped();
}

int32_t Vector2ParamC::set_value(int32_t i32Time, const float* pValue) {
  return Vector2ParamC::set_value(i32Time, Vector2C(pValue[0], pValue[1]));
}

void Vector2ParamC::get_value(int32_t i32Time, float* pOut) {
  Vector2C rValue;
  Vector2ParamC::get_value(i32Time, &rValue);
  pOut[0] = rValue.m_f32X;
  pOut[1] = rValue.m_f32Y;
}

void Vector2ParamC::set_min_max(const Vector2C& rMin, const Vector2C& rMax) {
  m_rMin = rMin;
  m_rMax = rMax;
  if (rMin == rMax) {
    remove_flags(PARAM_FLAG_CLAMP);
  } else {
    add_flags(PARAM_FLAG_CLAMP);
  }
}

const Vector2C& Vector2ParamC::get_min() {
  return m_rMin;
}

const Vector2C& Vector2ParamC::get_max() {
  return m_rMax;
}

int32_t Vector2ParamC::set_value(int32_t i32Time, const Vector2C& rValue) {
  m_rValue = clamp(rValue);
  const float rComponents[2] = {m_rValue.m_f32X, m_rValue.m_f32Y};
  return finish_set_value(i32Time, rComponents, 2);
}

void Vector2ParamC::get_value(int32_t i32Time, Vector2C* pOut) {
  if (!has_track_value()) {
    *pOut = m_rValue;
    return;
  }
  Vector2C rValue;
  get_track()->get_vector2(&rValue, i32Time);
  *pOut = clamp(rValue);
}

Vector2C Vector2ParamC::clamp(const Vector2C& rValue) {
  if (!is_clamped()) {
    return rValue;
  }
  return Vector2C(clamp_component(rValue.m_f32X, m_rMin.m_f32X, m_rMax.m_f32X),
                  clamp_component(rValue.m_f32Y, m_rMin.m_f32Y, m_rMax.m_f32Y));
}
