#include "corelib/parambasec.h"

#include <algorithm>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/gizmobasec.h"
#include "docfile/chunkwriterc.h"

ParamBaseC::ParamBaseC(GizmoBaseC* pParent, const char* szName, int32_t i32Id, uint32_t ui32Style,
                       AnimTrackC* pTrack)
    : m_i32Id(i32Id), m_ui32Style(ui32Style), m_pTrack(pTrack), m_sName(szName), m_pParent(pParent) {}

ParamBaseC::ParamBaseC(EditableC* pOriginal) : EditableC(pOriginal) {}

ParamBaseC::~ParamBaseC() {
  if (!m_pOriginal && m_pTrack) {
    m_pTrack->release();
  }
}

// A parameter made by create_linked has no track of its own to copy into; it
// gets a duplicate of the source's.
void ParamBaseC::copy(EditableC* pSource) {
  ParamBaseC* pParam = static_cast<ParamBaseC*>(pSource);
  take_over_fields(pParam);
  if (!pParam->m_pTrack) {
    return;
  }
  if (m_pTrack) {
    m_pTrack->copy(pParam->m_pTrack);
  } else {
    m_pTrack = static_cast<AnimTrackC*>(pParam->m_pTrack->duplicate());
  }
}

void ParamBaseC::restore(EditableC* pSource) {
  ParamBaseC* pParam = static_cast<ParamBaseC*>(pSource);
  take_over_fields(pParam);
  m_pTrack = pParam->m_pTrack;
}

void ParamBaseC::take_over_fields(ParamBaseC* pSource) {
  m_i32Id = pSource->m_i32Id;
  m_ui32Style = pSource->m_ui32Style;
  m_ui32Flags = pSource->m_ui32Flags;
  m_i32EditHint = pSource->m_i32EditHint;
  m_sName = pSource->m_sName;
  m_pParent = pSource->m_pParent;
}

int32_t ParamBaseC::save(ChunkWriterC* pWriter) {
  pWriter->write(&m_ui32Flags, sizeof(m_ui32Flags));
  return pWriter->write(&m_i32EditHint, sizeof(m_i32EditHint));
}

int32_t ParamBaseC::load(ChunkReaderC* pReader) {
  uint32_t ui32Flags = 0;
  int32_t i32EditHint = 0;
  pReader->read(&ui32Flags, sizeof(ui32Flags));
  // The reader's first failure is sticky, so the last read reports it.
  int32_t i32Result = pReader->read(&i32EditHint, sizeof(i32EditHint));
  if (i32Result == CHUNK_OK) {
    m_ui32Flags = ui32Flags;
    m_i32EditHint = i32EditHint;
  }
  return i32Result;
}

int32_t ParamBaseC::save_base_chunk(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(PARAM_CHUNK_BASE, PARAM_CHUNK_VERSION);
  ParamBaseC::save(pWriter);
  if (m_pTrack) {
    m_pTrack->save(pWriter);
  }
  pWriter->end_chunk();
  return pWriter->get_error();
}

int32_t ParamBaseC::save_value_chunk(ChunkWriterC* pWriter, uint32_t ui32Id, const void* pData, uint32_t ui32Size) {
  pWriter->begin_chunk(ui32Id, PARAM_CHUNK_VERSION);
  pWriter->write(pData, ui32Size);
  pWriter->end_chunk();
  return pWriter->get_error();
}

int32_t ParamBaseC::load_base_chunk(ChunkReaderC* pReader) {
  int32_t i32Result = ParamBaseC::load(pReader);
  if (i32Result != CHUNK_OK || !m_pTrack) {
    return i32Result;
  }
  return m_pTrack->load(pReader);
}

void ParamBaseC::set_flags(uint32_t ui32Flags) {
  m_ui32Flags = ui32Flags;
}

void ParamBaseC::add_flags(uint32_t ui32Flags) {
  m_ui32Flags |= ui32Flags;
}

void ParamBaseC::remove_flags(uint32_t ui32Flags) {
  m_ui32Flags &= ~ui32Flags;
}

void ParamBaseC::toggle_flags(uint32_t ui32Flags) {
  m_ui32Flags ^= ui32Flags;
}

uint32_t ParamBaseC::get_flags() {
  return m_ui32Flags;
}

void ParamBaseC::set_edit_hint(int32_t i32Hint) {
  m_i32EditHint = i32Hint > 0 ? i32Hint : 1;
}

int32_t ParamBaseC::get_edit_hint() {
  return m_i32EditHint;
}

void ParamBaseC::set_name(const char* szName) {
  m_sName = szName;
}

const char* ParamBaseC::get_name() {
  return m_sName.c_str();
}

void ParamBaseC::set_track(AnimTrackC* pTrack) {
  m_pTrack = pTrack;
}

AnimTrackC* ParamBaseC::get_track() {
  return m_pTrack;
}

void ParamBaseC::set_id(int32_t i32Id) {
  m_i32Id = i32Id;
}

int32_t ParamBaseC::get_id() {
  return m_i32Id;
}

void ParamBaseC::set_style(uint32_t ui32Style) {
  m_ui32Style = ui32Style;
}

uint32_t ParamBaseC::get_style() {
  return m_ui32Style;
}

void ParamBaseC::set_parent(GizmoBaseC* pParent) {
  m_pParent = pParent;
}

GizmoBaseC* ParamBaseC::get_parent() {
  return m_pParent;
}

bool ParamBaseC::has_track_value() {
  return (m_ui32Flags & PARAM_FLAG_ANIMATED) && m_pTrack && m_pTrack->get_key_count() > 0;
}

bool ParamBaseC::is_clamped() {
  return (m_ui32Flags & PARAM_FLAG_CLAMP) != 0;
}

// The track and the key record their state in the parameter's undo, so an
// editing host can take the change back.
int32_t ParamBaseC::finish_set_value(int32_t i32Time, const float* pValues, int32_t i32Count) {
  if ((m_ui32Flags & PARAM_FLAG_ANIMATED) && m_pTrack) {
    float rKeyValues[KEY_MAX_VALUES] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::copy_n(pValues, i32Count, rKeyValues);
    AnimKeyC* pKey = m_pTrack->find_key(i32Time);
    edit_under_undo(m_pTrack, get_undo(), [&] {
      if (!pKey) {
        pKey = m_pTrack->add_key(i32Time);
      }
      edit_under_undo(pKey, get_undo(), [&] { pKey->set_values(rKeyValues); });
      m_pTrack->prepare();
    });
  }
  return notify_parent(i32Time);
}

int32_t ParamBaseC::notify_parent(int32_t i32Time) {
  return m_pParent ? m_pParent->notify_change(m_i32Id, i32Time) : 0;
}
