#include "corelib/fileparamc.h"

#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/truncation.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t FILE_CHUNK_REFERENCE = 0x8000;
constexpr uint32_t FILE_CHUNK_TIMING = 0x8001;
constexpr float FILE_INCREMENT = 1.0f;

// The handle's importable, or null when there is no handle.
ImportableBaseC* importable_of(ImportHandleC* pHandle) {
  return pHandle ? pHandle->get_importable() : nullptr;
}

}  // namespace

FileParamC* FileParamC::create_param(GizmoBaseC* pParent, const char* szName, SuperClassIdentC rSuperFilter,
                                     ClassIdentC rClassFilter, int32_t i32Id, uint32_t ui32Style) {
  return new FileParamC(pParent, szName, rSuperFilter, rClassFilter, i32Id, ui32Style);
}

FileParamC::FileParamC(GizmoBaseC* pParent, const char* szName, SuperClassIdentC rSuperFilter,
                       ClassIdentC rClassFilter, int32_t i32Id, uint32_t ui32Style)
    : ParamBaseC(pParent, szName, i32Id, ui32Style, nullptr), m_rSuperFilter(rSuperFilter), m_rClassFilter(rClassFilter) {}

FileParamC::FileParamC(EditableC* pOriginal) : ParamBaseC(pOriginal) {}

DataObjectC* FileParamC::create() {
  return new FileParamC(nullptr, "", NULL_SUPERCLASSID, NULL_CLASSID, 0, 0);
}

EditableC* FileParamC::create_linked(EditableC* pOriginal) {
  return new FileParamC(pOriginal);
}

void FileParamC::copy(EditableC* pSource) {
  ParamBaseC::copy(pSource);
  take_over_fields(static_cast<FileParamC*>(pSource));
}

void FileParamC::restore(EditableC* pSource) {
  ParamBaseC::restore(pSource);
  take_over_fields(static_cast<FileParamC*>(pSource));
}

void FileParamC::take_over_fields(FileParamC* pSource) {
  m_pFile = pSource->m_pFile;
  m_rSuperFilter = pSource->m_rSuperFilter;
  m_rClassFilter = pSource->m_rClassFilter;
  m_i32TimeOffset = pSource->m_i32TimeOffset;
  m_f32TimeScale = pSource->m_f32TimeScale;
}

int32_t FileParamC::save(ChunkWriterC* pWriter) {
  save_base_chunk(pWriter);
  if (m_pFile) {
    const int32_t i32FileIndex = m_pFile->get_user_value();
    const uint32_t rFilters[3] = {m_rSuperFilter.get_value(), m_rClassFilter.get_first(),
                                  m_rClassFilter.get_second()};
    pWriter->begin_chunk(FILE_CHUNK_REFERENCE, PARAM_CHUNK_VERSION);
    pWriter->write(&i32FileIndex, sizeof(i32FileIndex));
    pWriter->write(rFilters, sizeof(rFilters));
    pWriter->end_chunk();
    pWriter->begin_chunk(FILE_CHUNK_TIMING, PARAM_CHUNK_VERSION);
    pWriter->write(&m_i32TimeOffset, sizeof(m_i32TimeOffset));
    pWriter->write(&m_f32TimeScale, sizeof(m_f32TimeScale));
    pWriter->end_chunk();
  }
  return pWriter->get_error();
}

int32_t FileParamC::load(ChunkReaderC* pReader) {
  return load_param(pReader, [&](uint32_t ui32Id) -> int32_t {
    if (ui32Id == FILE_CHUNK_REFERENCE) {
      return load_file_reference(pReader);
    }
    if (ui32Id == FILE_CHUNK_TIMING) {
      return load_timing(pReader);
    }
    return CHUNK_OK;
  });
}

int32_t FileParamC::load_file_reference(ChunkReaderC* pReader) {
  int32_t i32FileIndex = 0;
  uint32_t rFilters[3] = {0, 0, 0};
  pReader->read(&i32FileIndex, sizeof(i32FileIndex));
  int32_t i32Result = pReader->read(rFilters, sizeof(rFilters));
  if (i32Result == CHUNK_OK) {
    m_rSuperFilter = SuperClassIdentC(rFilters[0]);
    m_rClassFilter = ClassIdentC(rFilters[1], rFilters[2]);
    pReader->add_file_fixup(&m_pFile, i32FileIndex);
  }
  return i32Result;
}

int32_t FileParamC::load_timing(ChunkReaderC* pReader) {
  int32_t i32Offset = 0;
  float f32Scale = 0.0f;
  pReader->read(&i32Offset, sizeof(i32Offset));
  int32_t i32Result = pReader->read(&f32Scale, sizeof(f32Scale));
  if (i32Result == CHUNK_OK) {
    m_i32TimeOffset = i32Offset;
    m_f32TimeScale = f32Scale;
  }
  return i32Result;
}

int32_t FileParamC::get_type() {
  return PARAM_KIND_FILE;
}

void FileParamC::set_increment(float) {}

float FileParamC::get_increment() {
  return FILE_INCREMENT;
}

bool FileParamC::get_min_max(float*, float*) {
  return false;
}

int32_t FileParamC::set_value(int32_t, const float*) {
  return 0;
}

void FileParamC::get_value(int32_t, float*) {}

int32_t FileParamC::set_file(ImportHandleC* pHandle) {
  if (!pHandle) {
    m_pFile = nullptr;
  } else if (ImportableBaseC* pImportable = pHandle->get_importable()) {
    const bool bClassAccepted = m_rClassFilter == NULL_CLASSID || pImportable->get_class_ident() == m_rClassFilter;
    const bool bFamilyAccepted =
        m_rSuperFilter == NULL_SUPERCLASSID || pImportable->get_super_class_ident() == m_rSuperFilter;
    if (bClassAccepted && bFamilyAccepted) {
      m_pFile = pHandle;
    }
  }
  return notify_parent(0);
}

ImportHandleC* FileParamC::get_file() {
  return m_pFile;
}

SuperClassIdentC FileParamC::get_super_filter() {
  return m_rSuperFilter;
}

ClassIdentC FileParamC::get_class_filter() {
  return m_rClassFilter;
}

void FileParamC::set_super_filter(SuperClassIdentC rFilter) {
  m_rSuperFilter = rFilter;
}

void FileParamC::set_class_filter(ClassIdentC rFilter) {
  m_rClassFilter = rFilter;
}

void FileParamC::set_time_offset(int32_t i32Offset) {
  m_i32TimeOffset = i32Offset;
}

void FileParamC::set_time_scale(float f32Scale) {
  m_f32TimeScale = f32Scale;
}

int32_t FileParamC::get_time_offset() {
  return m_i32TimeOffset;
}

float FileParamC::get_time_scale() {
  return m_f32TimeScale;
}

int32_t FileParamC::get_duration(TimeBaseC* pTimeContext) {
  ImportableBaseC* pImportable = importable_of(m_pFile);
  if (!pImportable) {
    return -1;
  }
  return truncate_to_int32(static_cast<float>(pImportable->get_duration(pTimeContext)) * m_f32TimeScale);
}

float FileParamC::get_first_label(TimeBaseC* pTimeContext) {
  ImportableBaseC* pImportable = importable_of(m_pFile);
  return pImportable ? pImportable->get_first_label(pTimeContext) : 0.0f;
}

float FileParamC::get_last_label(TimeBaseC* pTimeContext) {
  ImportableBaseC* pImportable = importable_of(m_pFile);
  return pImportable ? pImportable->get_last_label(pTimeContext) : 0.0f;
}
