#include "corelib/animkeyc.h"

#include <algorithm>

#include "docfile/chunkwriterc.h"

namespace {

constexpr uint8_t KEY_RECORD_VERSION = 1;
constexpr int32_t KEY_SPLINE_FLOATS = 5;
// A stored value count is one byte.
constexpr uint32_t KEY_RECORD_MAX_VALUES = 255;

int32_t limit_value_count(int32_t i32ValueCount) {
  return std::clamp<int32_t>(i32ValueCount, 0, KEY_MAX_VALUES);
}

float* allocate_data(int32_t i32ValueCount) {
  return i32ValueCount > 0 ? new float[static_cast<size_t>(3 * i32ValueCount)]() : nullptr;
}

}  // namespace

AnimKeyC* AnimKeyC::create_key(int32_t i32ValueCount) {
  return new AnimKeyC(i32ValueCount);
}

AnimKeyC::AnimKeyC(int32_t i32ValueCount)
    : m_pData(allocate_data(limit_value_count(i32ValueCount))), m_i32ValueCount(limit_value_count(i32ValueCount)) {}

AnimKeyC::AnimKeyC(EditableC* pOriginal, int32_t i32ValueCount)
    : EditableC(pOriginal),
      m_pData(allocate_data(limit_value_count(i32ValueCount))),
      m_i32ValueCount(limit_value_count(i32ValueCount)) {}

AnimKeyC::~AnimKeyC() {
  delete[] m_pData;
}

DataObjectC* AnimKeyC::create() {
  return new AnimKeyC(0);
}

EditableC* AnimKeyC::create_linked(EditableC* pOriginal) {
  return new AnimKeyC(pOriginal, 0);
}

void AnimKeyC::copy(EditableC* pSource) {
  take_over(static_cast<AnimKeyC*>(pSource));
}

void AnimKeyC::restore(EditableC* pSource) {
  take_over(static_cast<AnimKeyC*>(pSource));
}

// Keys own no children, so deep and restore copies are the same. The new
// buffer is filled before the old one goes, which keeps a copy from itself sound.
void AnimKeyC::take_over(AnimKeyC* pSource) {
  float* pData = allocate_data(pSource->m_i32ValueCount);
  std::copy_n(pSource->m_pData, 3 * pSource->m_i32ValueCount, pData);
  delete[] m_pData;
  m_pData = pData;
  m_i32ValueCount = pSource->m_i32ValueCount;
  m_f32EaseIn = pSource->m_f32EaseIn;
  m_f32EaseOut = pSource->m_f32EaseOut;
  m_f32Tension = pSource->m_f32Tension;
  m_f32Continuity = pSource->m_f32Continuity;
  m_f32Bias = pSource->m_f32Bias;
  m_ui32Flags = pSource->m_ui32Flags;
  m_i32Time = pSource->m_i32Time;
}

int32_t AnimKeyC::save(ChunkWriterC* pWriter) {
  const uint8_t ui8Version = KEY_RECORD_VERSION;
  const uint8_t ui8ValueCount = static_cast<uint8_t>(m_i32ValueCount);
  const uint8_t ui8Flags = static_cast<uint8_t>(m_ui32Flags & ~KEY_EDITOR_STATE);
  const float rSpline[KEY_SPLINE_FLOATS] = {m_f32EaseIn, m_f32EaseOut, m_f32Tension, m_f32Continuity, m_f32Bias};
  pWriter->write(&ui8Version, sizeof(ui8Version));
  pWriter->write(&ui8ValueCount, sizeof(ui8ValueCount));
  if (m_i32ValueCount > 0) {
    pWriter->write(m_pData, static_cast<uint32_t>(m_i32ValueCount * sizeof(float)));
  }
  pWriter->write(&m_i32Time, sizeof(m_i32Time));
  pWriter->write(&ui8Flags, sizeof(ui8Flags));
  // The writer's first failure is sticky, so the last write reports it.
  return pWriter->write(rSpline, sizeof(rSpline));
}

int32_t AnimKeyC::load(ChunkReaderC* pReader) {
  uint8_t ui8Version = 0;
  int32_t i32Result = pReader->read(&ui8Version, sizeof(ui8Version));
  if (i32Result != CHUNK_OK || ui8Version != KEY_RECORD_VERSION) {
    return i32Result;
  }
  uint8_t ui8ValueCount = 0;
  pReader->read(&ui8ValueCount, sizeof(ui8ValueCount));
  read_values(pReader, ui8ValueCount);
  pReader->read(&m_i32Time, sizeof(m_i32Time));
  uint8_t ui8Flags = 0;
  if (pReader->read(&ui8Flags, sizeof(ui8Flags)) == CHUNK_OK) {
    m_ui32Flags = ui8Flags;
  }
  float rSpline[KEY_SPLINE_FLOATS] = {m_f32EaseIn, m_f32EaseOut, m_f32Tension, m_f32Continuity, m_f32Bias};
  // The reader's first failure is sticky, so the last read reports it.
  i32Result = pReader->read(rSpline, sizeof(rSpline));
  m_f32EaseIn = rSpline[0];
  m_f32EaseOut = rSpline[1];
  m_f32Tension = rSpline[2];
  m_f32Continuity = rSpline[3];
  m_f32Bias = rSpline[4];
  return i32Result;
}

// The buffer was sized at construction: of a record with another count only
// what fits is kept, and the rest is read past so the fields after it line up.
void AnimKeyC::read_values(ChunkReaderC* pReader, uint32_t ui32StoredCount) {
  uint32_t ui32Kept = std::min(ui32StoredCount, static_cast<uint32_t>(m_i32ValueCount));
  if (ui32Kept > 0) {
    pReader->read(m_pData, static_cast<uint32_t>(ui32Kept * sizeof(float)));
  }
  uint32_t ui32Skipped = ui32StoredCount - ui32Kept;
  if (ui32Skipped > 0) {
    float rDiscard[KEY_RECORD_MAX_VALUES];
    pReader->read(rDiscard, static_cast<uint32_t>(ui32Skipped * sizeof(float)));
  }
}

int32_t AnimKeyC::get_time() {
  return m_i32Time;
}

void AnimKeyC::set_time(int32_t i32Time) {
  m_i32Time = i32Time;
}

void AnimKeyC::set_flags(uint32_t ui32Flags) {
  m_ui32Flags = ui32Flags;
}

void AnimKeyC::add_flags(uint32_t ui32Flags) {
  m_ui32Flags |= ui32Flags;
}

void AnimKeyC::remove_flags(uint32_t ui32Flags) {
  m_ui32Flags &= ~ui32Flags;
}

void AnimKeyC::toggle_flags(uint32_t ui32Flags) {
  m_ui32Flags ^= ui32Flags;
}

uint32_t AnimKeyC::get_flags() {
  return m_ui32Flags;
}

float AnimKeyC::get_ease_in() {
  return m_f32EaseIn;
}

float AnimKeyC::get_ease_out() {
  return m_f32EaseOut;
}

float AnimKeyC::get_tension() {
  return m_f32Tension;
}

float AnimKeyC::get_continuity() {
  return m_f32Continuity;
}

float AnimKeyC::get_bias() {
  return m_f32Bias;
}

void AnimKeyC::set_ease_in(float f32Value) {
  m_f32EaseIn = f32Value;
}

void AnimKeyC::set_ease_out(float f32Value) {
  m_f32EaseOut = f32Value;
}

void AnimKeyC::set_tension(float f32Value) {
  m_f32Tension = f32Value;
}

void AnimKeyC::set_continuity(float f32Value) {
  m_f32Continuity = f32Value;
}

void AnimKeyC::set_bias(float f32Value) {
  m_f32Bias = f32Value;
}

void AnimKeyC::get_values(float* pOut) {
  std::copy_n(m_pData, m_i32ValueCount, pOut);
}

void AnimKeyC::set_values(const float* pIn) {
  std::copy_n(pIn, m_i32ValueCount, m_pData);
}

void AnimKeyC::get_in_tangent(float* pOut) {
  std::copy_n(m_pData + m_i32ValueCount, m_i32ValueCount, pOut);
}

void AnimKeyC::set_in_tangent(const float* pIn) {
  std::copy_n(pIn, m_i32ValueCount, m_pData + m_i32ValueCount);
}

void AnimKeyC::get_out_tangent(float* pOut) {
  std::copy_n(m_pData + 2 * m_i32ValueCount, m_i32ValueCount, pOut);
}

void AnimKeyC::set_out_tangent(const float* pIn) {
  std::copy_n(pIn, m_i32ValueCount, m_pData + 2 * m_i32ValueCount);
}
