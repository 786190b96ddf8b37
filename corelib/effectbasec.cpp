#include "corelib/effectbasec.h"

#include "corelib/timesegmentc.h"
#include "docfile/chunkwriterc.h"

EffectBaseC::EffectBaseC() : m_pTimeSegment(TimeSegmentC::create_segment()) {}

EffectBaseC::EffectBaseC(EditableC* pOriginal) : EditableC(pOriginal) {}

// A restore copy shares its original's time segment.
EffectBaseC::~EffectBaseC() {
  if (!m_pOriginal && m_pTimeSegment) {
    m_pTimeSegment->release();
  }
}

void EffectBaseC::copy(EditableC* pSource) {
  EffectBaseC* pEffect = static_cast<EffectBaseC*>(pSource);
  m_sName = pEffect->m_sName;
  m_i32Flags = pEffect->m_i32Flags;
  m_pTimeSegment->copy(pEffect->m_pTimeSegment);
}

void EffectBaseC::restore(EditableC* pSource) {
  EffectBaseC* pEffect = static_cast<EffectBaseC*>(pSource);
  m_sName = pEffect->m_sName;
  m_i32Flags = pEffect->m_i32Flags;
  m_pTimeSegment = pEffect->m_pTimeSegment;
}

int32_t EffectBaseC::save(ChunkWriterC* pWriter) {
  write_str_cut(pWriter, m_sName);
  pWriter->write(&m_i32Flags, sizeof(m_i32Flags));
  return m_pTimeSegment->save(pWriter);
}

// A truncated effect keeps whatever was read; read_str leaves the name
// terminated even when its read comes short.
int32_t EffectBaseC::load(ChunkReaderC* pReader) {
  char szName[CHUNK_STRING_BUFFER_SIZE];
  pReader->read_str(szName);
  set_name(szName);
  pReader->read(&m_i32Flags, sizeof(m_i32Flags));
  m_pTimeSegment->load(pReader);
  return CHUNK_OK;
}

void EffectBaseC::set_name(const char* szName) {
  m_sName = szName ? szName : "";
}

const char* EffectBaseC::get_name() {
  return m_sName.c_str();
}

void EffectBaseC::set_flags(int32_t i32Flags) {
  m_i32Flags = i32Flags;
}

void EffectBaseC::add_flags(int32_t i32Flags) {
  m_i32Flags |= i32Flags;
}

void EffectBaseC::remove_flags(int32_t i32Flags) {
  m_i32Flags &= ~i32Flags;
}

void EffectBaseC::toggle_flags(int32_t i32Flags) {
  m_i32Flags ^= i32Flags;
}

int32_t EffectBaseC::get_flags() {
  return m_i32Flags;
}

TimeSegmentC* EffectBaseC::get_time_segment() {
  return m_pTimeSegment;
}

SuperClassIdentC EffectBaseC::get_super_class_ident() {
  return SUPERCLASS_EFFECT;
}

int32_t EffectBaseC::update_notify(int32_t, int32_t, int32_t) {
  return 0;
}
