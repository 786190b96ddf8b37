#include "corelib/colorparamc.h"

#include "corelib/animtrackc.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t COLOR_CHUNK_VALUES = 0x6000;
constexpr float COLOR_INCREMENT = 1.0f / 256.0f;

RgbaColorC clamp_color(const RgbaColorC& rColor) {
  return RgbaColorC(clamp_component(rColor.m_f32R, 0.0f, 1.0f), clamp_component(rColor.m_f32G, 0.0f, 1.0f),
                    clamp_component(rColor.m_f32B, 0.0f, 1.0f), clamp_component(rColor.m_f32A, 0.0f, 1.0f));
}

}  // namespace

ColorParamC* ColorParamC::create_param(GizmoBaseC* pParent, const char* szName, const RgbaColorC& rDefault,
                                       int32_t i32Id, uint32_t ui32Style, bool bAnimatable) {
  ColorParamC* pParam = new ColorParamC(pParent, szName, rDefault, i32Id, ui32Style);
  if (bAnimatable) {
    pParam->add_flags(PARAM_FLAG_ANIMATABLE);
  }
  return pParam;
}

ColorParamC::ColorParamC(GizmoBaseC* pParent, const char* szName, const RgbaColorC& rDefault, int32_t i32Id,
                         uint32_t ui32Style)
    : ParamBaseC(pParent, szName, i32Id, ui32Style, AnimTrackC::create_track(PARAM_KIND_COLOR)), m_rValue(rDefault) {}

ColorParamC::ColorParamC(EditableC* pOriginal) : ParamBaseC(pOriginal) {}

DataObjectC* ColorParamC::create() {
  return new ColorParamC(nullptr, "", RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f), 0, 0);
}

EditableC* ColorParamC::create_linked(EditableC* pOriginal) {
  return new ColorParamC(pOriginal);
}

void ColorParamC::copy(EditableC* pSource) {
  ParamBaseC::copy(pSource);
  m_rValue = static_cast<ColorParamC*>(pSource)->m_rValue;
}

void ColorParamC::restore(EditableC* pSource) {
  ParamBaseC::restore(pSource);
  m_rValue = static_cast<ColorParamC*>(pSource)->m_rValue;
}

int32_t ColorParamC::save(ChunkWriterC* pWriter) {
  save_base_chunk(pWriter);
  const float rValues[4] = {m_rValue.m_f32R, m_rValue.m_f32G, m_rValue.m_f32B, m_rValue.m_f32A};
  return save_value_chunk(pWriter, COLOR_CHUNK_VALUES, rValues, sizeof(rValues));
}

int32_t ColorParamC::load(ChunkReaderC* pReader) {
  return load_param(pReader, [&](uint32_t ui32Id) -> int32_t {
    return ui32Id == COLOR_CHUNK_VALUES ? load_values(pReader) : CHUNK_OK;
  });
}

// Values are taken as stored, without clamping.
int32_t ColorParamC::load_values(ChunkReaderC* pReader) {
  float rValues[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  int32_t i32Result = pReader->read(rValues, sizeof(rValues));
  if (i32Result == CHUNK_OK) {
    m_rValue = RgbaColorC(rValues[0], rValues[1], rValues[2], rValues[3]);
  }
  return i32Result;
}

int32_t ColorParamC::get_type() {
  return PARAM_KIND_COLOR;
}

void ColorParamC::set_increment(float) {}

float ColorParamC::get_increment() {
  return COLOR_INCREMENT;
}

bool ColorParamC::get_min_max(float* pMin, float* pMax) {
  for (int32_t i = 0; i < 4; ++i) {
    pMin[i] = 0.0f;
    pMax[i] = 1.0f;
  }
  return true;
}

int32_t ColorParamC::set_value(int32_t i32Time, const float* pValue) {
  return ColorParamC::set_value(i32Time, RgbaColorC(pValue[0], pValue[1], pValue[2], pValue[3]));
}

void ColorParamC::get_value(int32_t i32Time, float* pOut) {
  RgbaColorC rValue;
  ColorParamC::get_value(i32Time, &rValue);
  pOut[0] = rValue.m_f32R;
  pOut[1] = rValue.m_f32G;
  pOut[2] = rValue.m_f32B;
  pOut[3] = rValue.m_f32A;
}

int32_t ColorParamC::set_value(int32_t i32Time, const RgbaColorC& rValue) {
  m_rValue = clamp_color(rValue);
  const float rComponents[4] = {m_rValue.m_f32R, m_rValue.m_f32G, m_rValue.m_f32B, m_rValue.m_f32A};
  return finish_set_value(i32Time, rComponents, 4);
}

void ColorParamC::get_value(int32_t i32Time, RgbaColorC* pOut) {
  if (!has_track_value()) {
    *pOut = m_rValue;
    return;
  }
  RgbaColorC rValue;
  get_track()->get_color(&rValue, i32Time);
  *pOut = clamp_color(rValue);
}
