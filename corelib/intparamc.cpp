#include "corelib/intparamc.h"

#include "corelib/animtrackc.h"
#include "corelib/truncation.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t INT_CHUNK_VALUES = 0x2000;
constexpr uint32_t INT_CHUNK_LABEL = 0x2001;

}  // namespace

IntParamC* IntParamC::create_param(GizmoBaseC* pParent, const char* szName, int32_t i32Default, int32_t i32Id,
                                   uint32_t ui32Style, bool bAnimatable, int32_t i32Min, int32_t i32Max,
                                   int32_t i32Increment) {
  IntParamC* pParam = new IntParamC(pParent, szName, i32Default, i32Id, ui32Style);
  if (bAnimatable) {
    pParam->add_flags(PARAM_FLAG_ANIMATABLE);
  }
  pParam->m_i32Increment = i32Increment;
  pParam->set_min_max(i32Min, i32Max);
  pParam->m_i32Value = pParam->clamp(i32Default);
  return pParam;
}

IntParamC::IntParamC(GizmoBaseC* pParent, const char* szName, int32_t i32Default, int32_t i32Id, uint32_t ui32Style)
    : ParamBaseC(pParent, szName, i32Id, ui32Style, AnimTrackC::create_track(PARAM_KIND_INT)), m_i32Value(i32Default) {}

IntParamC::IntParamC(EditableC* pOriginal) : ParamBaseC(pOriginal) {}

DataObjectC* IntParamC::create() {
  return new IntParamC(nullptr, "", 0, 0, 0);
}

EditableC* IntParamC::create_linked(EditableC* pOriginal) {
  return new IntParamC(pOriginal);
}

void IntParamC::copy(EditableC* pSource) {
  ParamBaseC::copy(pSource);
  take_over_fields(static_cast<IntParamC*>(pSource));
}

void IntParamC::restore(EditableC* pSource) {
  ParamBaseC::restore(pSource);
  take_over_fields(static_cast<IntParamC*>(pSource));
}

void IntParamC::take_over_fields(IntParamC* pSource) {
  m_i32Value = pSource->m_i32Value;
  m_i32Increment = pSource->m_i32Increment;
  m_i32Min = pSource->m_i32Min;
  m_i32Max = pSource->m_i32Max;
  m_rLabels = pSource->m_rLabels;
}

int32_t IntParamC::save(ChunkWriterC* pWriter) {
  save_base_chunk(pWriter);
  const int32_t rValues[4] = {m_i32Value, m_i32Increment, m_i32Min, m_i32Max};
  save_value_chunk(pWriter, INT_CHUNK_VALUES, rValues, sizeof(rValues));
  for (const LabelS& rLabel : m_rLabels) {
    pWriter->begin_chunk(INT_CHUNK_LABEL, PARAM_CHUNK_VERSION);
    write_str_cut(pWriter, rLabel.m_sText);
    pWriter->write(&rLabel.m_i32Value, sizeof(rLabel.m_i32Value));
    pWriter->end_chunk();
  }
  return pWriter->get_error();
}

int32_t IntParamC::load(ChunkReaderC* pReader) {
  return load_param(pReader, [&](uint32_t ui32Id) -> int32_t {
    if (ui32Id == INT_CHUNK_VALUES) {
      return load_values(pReader);
    }
    if (ui32Id == INT_CHUNK_LABEL) {
      return load_label(pReader);
    }
    return CHUNK_OK;
  });
}

// Values are taken as stored, without clamping.
int32_t IntParamC::load_values(ChunkReaderC* pReader) {
  int32_t rValues[4] = {0, 0, 0, 0};
  int32_t i32Result = pReader->read(rValues, sizeof(rValues));
  if (i32Result == CHUNK_OK) {
    m_i32Value = rValues[0];
    m_i32Increment = rValues[1];
    m_i32Min = rValues[2];
    m_i32Max = rValues[3];
  }
  return i32Result;
}

int32_t IntParamC::load_label(ChunkReaderC* pReader) {
  char szText[CHUNK_STRING_BUFFER_SIZE];
  int32_t i32Value = 0;
  pReader->read_str(szText);
  int32_t i32Result = pReader->read(&i32Value, sizeof(i32Value));
  if (i32Result == CHUNK_OK) {
    set_label(i32Value, szText);
  }
  return i32Result;
}

int32_t IntParamC::get_type() {
  return PARAM_KIND_INT;
}

void IntParamC::set_increment(float f32Increment) {
  m_i32Increment = truncate_to_int32(f32Increment);
}

float IntParamC::get_increment() {
  return static_cast<float>(m_i32Increment);
}

bool IntParamC::get_min_max(float* pMin, float* pMax) {
  *pMin = static_cast<float>(m_i32Min);
  *pMax = static_cast<float>(m_i32Max);
  return is_clamped();
}

int32_t IntParamC::set_value(int32_t i32Time, const float* pValue) {
  const int32_t i32Value = truncate_to_int32(pValue[0]);
  return IntParamC::set_value(i32Time, &i32Value);
}

void IntParamC::get_value(int32_t i32Time, float* pOut) {
  int32_t i32Value = 0;
  IntParamC::get_value(i32Time, &i32Value);
  *pOut = static_cast<float>(i32Value);
}

void IntParamC::set_min_max(int32_t i32Min, int32_t i32Max) {
  m_i32Min = i32Min;
  m_i32Max = i32Max;
  if (i32Min != i32Max) {
    add_flags(PARAM_FLAG_CLAMP);
  } else {
    remove_flags(PARAM_FLAG_CLAMP);
  }
}

int32_t IntParamC::get_min() {
  return m_i32Min;
}

int32_t IntParamC::get_max() {
  return m_i32Max;
}

void IntParamC::clear_labels() {
  m_rLabels.clear();
}

void IntParamC::set_label(int32_t i32Value, const std::string& rText) {
  auto it = m_rLabels.begin();
  while (it != m_rLabels.end() && it->m_i32Value < i32Value) {
    ++it;
  }
  if (it != m_rLabels.end() && it->m_i32Value == i32Value) {
    it->m_sText = rText;
  } else {
    m_rLabels.insert(it, LabelS{i32Value, rText});
  }
}

void IntParamC::set_label(int32_t i32Value, const char* szText) {
  IntParamC::set_label(i32Value, std::string(szText));
}

int32_t IntParamC::get_label_count() {
  return static_cast<int32_t>(m_rLabels.size());
}

const char* IntParamC::get_label_text(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_label_count()) {
    return "";
  }
  return m_rLabels[static_cast<size_t>(i32Index)].m_sText.c_str();
}

int32_t IntParamC::get_label_value(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_label_count()) {
    return 0;
  }
  return m_rLabels[static_cast<size_t>(i32Index)].m_i32Value;
}

void IntParamC::remove_label(int32_t i32Value) {
  for (auto it = m_rLabels.begin(); it != m_rLabels.end(); ++it) {
    if (it->m_i32Value == i32Value) {
      m_rLabels.erase(it);
      return;
    }
  }
}

int32_t IntParamC::set_value(int32_t i32Time, const int32_t* pValue) {
  m_i32Value = clamp(pValue[0]);
  const float f32Value = static_cast<float>(m_i32Value);
  return finish_set_value(i32Time, &f32Value, 1);
}

void IntParamC::get_value(int32_t i32Time, int32_t* pOut) {
  if (!has_track_value()) {
    *pOut = m_i32Value;
    return;
  }
  int32_t i32Value = 0;
  get_track()->get_int(&i32Value, i32Time);
  *pOut = clamp(i32Value);
}

int32_t IntParamC::clamp(int32_t i32Value) {
  return is_clamped() ? clamp_component(i32Value, m_i32Min, m_i32Max) : i32Value;
}
