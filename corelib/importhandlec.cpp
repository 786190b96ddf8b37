#include "corelib/importhandlec.h"

ImportHandleC* ImportHandleC::create_handle() {
  return new ImportHandleC();
}

ImportHandleC::~ImportHandleC() = default;

DataObjectC* ImportHandleC::create() {
  return new ImportHandleC();
}

EditableC* ImportHandleC::create_linked(EditableC* pOriginal) {
  return new ImportHandleC(pOriginal);
}

void ImportHandleC::copy(EditableC* pSource) {
  take_over(static_cast<ImportHandleC*>(pSource));
}

void ImportHandleC::restore(EditableC* pSource) {
  take_over(static_cast<ImportHandleC*>(pSource));
}

void ImportHandleC::take_over(ImportHandleC* pSource) {
  m_i32UseCount = pSource->m_i32UseCount;
  m_pImportable = pSource->m_pImportable;
}

int32_t ImportHandleC::save(ChunkWriterC*) {
  return CHUNK_OK;
}

int32_t ImportHandleC::load(ChunkReaderC*) {
  return CHUNK_OK;
}

ImportableBaseC* ImportHandleC::get_importable() {
  return m_pImportable;
}

void ImportHandleC::set_importable(ImportableBaseC* pImportable) {
  m_pImportable = pImportable;
}

int32_t ImportHandleC::get_user_value() {
  return m_i32UserValue;
}

void ImportHandleC::set_user_value(int32_t i32Value) {
  m_i32UserValue = i32Value;
}

void ImportHandleC::inc_use_count() {
  ++m_i32UseCount;
}

void ImportHandleC::reset_use_count() {
  m_i32UseCount = 0;
}

int32_t ImportHandleC::get_use_count() {
  return m_i32UseCount;
}
