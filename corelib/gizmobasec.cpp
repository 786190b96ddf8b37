#include "corelib/gizmobasec.h"

#include "corelib/effectbasec.h"
#include "corelib/parambasec.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t GIZMO_CHUNK_SETTINGS = 0x1000;
constexpr uint32_t GIZMO_CHUNK_SETTINGS_VERSION = 1;
// A parameter's chunk id is this plus the parameter's id.
constexpr uint32_t GIZMO_CHUNK_PARAM_BASE = 0x2000;
constexpr uint32_t GIZMO_CHUNK_PARAM_VERSION = 1;

}  // namespace

GizmoBaseC::GizmoBaseC(EffectBaseC* pOwner, const char* szName, int32_t i32Id)
    : m_sName(szName), m_i32Id(i32Id), m_pOwner(pOwner) {}

GizmoBaseC::GizmoBaseC(EditableC* pOriginal) : EditableC(pOriginal) {}

void GizmoBaseC::copy(EditableC* pSource) {
  take_over_fields(static_cast<GizmoBaseC*>(pSource));
}

void GizmoBaseC::restore(EditableC* pSource) {
  GizmoBaseC* pGizmo = static_cast<GizmoBaseC*>(pSource);
  take_over_fields(pGizmo);
  m_pOwner = pGizmo->m_pOwner;
}

void GizmoBaseC::take_over_fields(GizmoBaseC* pSource) {
  m_sName = pSource->m_sName;
  m_ui32Flags = pSource->m_ui32Flags;
  m_i32Id = pSource->m_i32Id;
}

// Reports the first failure of any write, so a failed parameter save is not
// taken for success.
int32_t GizmoBaseC::save(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(GIZMO_CHUNK_SETTINGS, GIZMO_CHUNK_SETTINGS_VERSION);
  write_str_cut(pWriter, m_sName);
  pWriter->write(&m_ui32Flags, sizeof(m_ui32Flags));
  pWriter->end_chunk();
  for (int32_t i = 0; i < get_param_count(); ++i) {
    ParamBaseC* pParam = get_param(i);
    const int32_t i32Type = pParam->get_type();
    pWriter->begin_chunk(GIZMO_CHUNK_PARAM_BASE + static_cast<uint32_t>(pParam->get_id()), GIZMO_CHUNK_PARAM_VERSION);
    pWriter->write(&i32Type, sizeof(i32Type));
    pParam->save(pWriter);
    pWriter->end_chunk();
  }
  return pWriter->get_error();
}

int32_t GizmoBaseC::load(ChunkReaderC* pReader) {
  int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Id == GIZMO_CHUNK_SETTINGS) {
      return ui32Version == GIZMO_CHUNK_SETTINGS_VERSION ? load_settings(pReader) : CHUNK_OK;
    }
    if (ui32Id >= GIZMO_CHUNK_PARAM_BASE) {
      return load_param(pReader, static_cast<int32_t>(ui32Id - GIZMO_CHUNK_PARAM_BASE));
    }
    return CHUNK_OK;
  });
  return i32Result == CHUNK_END ? CHUNK_OK : i32Result;
}

int32_t GizmoBaseC::load_settings(ChunkReaderC* pReader) {
  char szName[CHUNK_STRING_BUFFER_SIZE];
  uint32_t ui32Flags = 0;
  pReader->read_str(szName);
  int32_t i32Result = pReader->read(&ui32Flags, sizeof(ui32Flags));
  if (i32Result == CHUNK_OK) {
    m_sName = szName;
    m_ui32Flags = ui32Flags;
  }
  return i32Result;
}

// The effect made its parameters; loading only fills the one with this id,
// and only when the stored kind is its kind.
int32_t GizmoBaseC::load_param(ChunkReaderC* pReader, int32_t i32ParamId) {
  ParamBaseC* pParam = find_param(i32ParamId);
  if (!pParam) {
    return CHUNK_OK;
  }
  int32_t i32Type = 0;
  int32_t i32Result = pReader->read(&i32Type, sizeof(i32Type));
  if (i32Result != CHUNK_OK || i32Type != pParam->get_type()) {
    return i32Result;
  }
  return pParam->load(pReader);
}

ParamBaseC* GizmoBaseC::find_param(int32_t i32ParamId) {
  for (int32_t i = 0; i < get_param_count(); ++i) {
    ParamBaseC* pParam = get_param(i);
    if (pParam->get_id() == i32ParamId) {
      return pParam;
    }
  }
  return nullptr;
}

const char* GizmoBaseC::get_name() {
  return m_sName.c_str();
}

void GizmoBaseC::set_name(const char* szName) {
  m_sName = szName;
}

int32_t GizmoBaseC::notify_change(int32_t i32ParamId, int32_t i32Time) {
  return m_pOwner ? m_pOwner->update_notify(m_i32Id, i32ParamId, i32Time) : 0;
}

int32_t GizmoBaseC::get_id() {
  return m_i32Id;
}

void GizmoBaseC::set_id(int32_t i32Id) {
  m_i32Id = i32Id;
}

void GizmoBaseC::set_flags(uint32_t ui32Flags) {
  m_ui32Flags = ui32Flags;
}

void GizmoBaseC::add_flags(uint32_t ui32Flags) {
  m_ui32Flags |= ui32Flags;
}

void GizmoBaseC::remove_flags(uint32_t ui32Flags) {
  m_ui32Flags &= ~ui32Flags;
}

void GizmoBaseC::toggle_flags(uint32_t ui32Flags) {
  m_ui32Flags ^= ui32Flags;
}

uint32_t GizmoBaseC::get_flags() {
  return m_ui32Flags;
}
