#include "description/documentsaving.h"

#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "corelib/documentchunks.h"

namespace {

int32_t write_class(ChunkWriterC* pWriter, const ClassIdentC& rClass, const std::string& rName) {
  const uint32_t rIdent[2] = {rClass.get_first(), rClass.get_second()};
  int32_t i32Result = pWriter->write(rIdent, sizeof(rIdent));
  return first_failure(i32Result, write_str_cut(pWriter, rName));
}

// A handle without an importable has no chunk, so it has no index either.
int32_t save_importables(ChunkWriterC* pWriter, ImportListC* pFiles) {
  int32_t i32Result = CHUNK_OK;
  int32_t i32Stored = 0;
  for (int32_t i = 0; pFiles && i < pFiles->get_handle_count(); ++i) {
    ImportHandleC* pHandle = pFiles->get_handle(i);
    ImportableBaseC* pImportable = pHandle->get_importable();
    if (!pImportable) {
      pHandle->set_user_value(-1);
      continue;
    }
    pHandle->set_user_value(i32Stored++);
    i32Result = first_failure(i32Result, pWriter->begin_chunk(DOCUMENT_CHUNK_IMPORTABLE, DOCUMENT_CHUNK_VERSION));
    i32Result = first_failure(i32Result, write_class(pWriter, pImportable->get_class_ident(),
                                                     pImportable->get_class_name()));
    i32Result = first_failure(i32Result, pImportable->save(pWriter));
    i32Result = first_failure(i32Result, pWriter->end_chunk());
  }
  return i32Result;
}

int32_t save_scene(ChunkWriterC* pWriter, SceneC* pScene) {
  if (!pScene) {
    return CHUNK_OK;
  }
  int32_t i32Result = pWriter->begin_chunk(DOCUMENT_CHUNK_SCENE, DOCUMENT_CHUNK_VERSION);
  i32Result = first_failure(i32Result, pScene->save(pWriter));
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t save_music(ChunkWriterC* pWriter, const std::string* pMusic) {
  if (!pMusic) {
    return CHUNK_OK;
  }
  int32_t i32Result = pWriter->begin_chunk(DOCUMENT_CHUNK_MUSIC, DOCUMENT_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_str_cut(pWriter, *pMusic));
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t save_driver(ChunkWriterC* pWriter, const DocumentDriverS& rDriver) {
  int32_t i32Result = pWriter->begin_chunk(DOCUMENT_CHUNK_DEVICE_DRIVER, DOCUMENT_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_class(pWriter, rDriver.m_rClass, rDriver.m_sClassName));
  if (!rDriver.m_rData.empty()) {
    i32Result = first_failure(i32Result, pWriter->write(rDriver.m_rData.data(),
                                                        static_cast<uint32_t>(rDriver.m_rData.size())));
  }
  return first_failure(i32Result, pWriter->end_chunk());
}

}  // namespace

int32_t save_document(const char* szFileName, const DocumentContentS& rContent) {
  ChunkWriterC rWriter;
  int32_t i32Result = rWriter.open(szFileName, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  // File indices are set before the scene saves the parameters that use them.
  i32Result = save_importables(&rWriter, rContent.m_pFiles);
  i32Result = first_failure(i32Result, save_scene(&rWriter, rContent.m_pScene));
  i32Result = first_failure(i32Result, save_music(&rWriter, rContent.m_pMusic));
  for (const DocumentDriverS& rDriver : rContent.m_rDrivers) {
    i32Result = first_failure(i32Result, save_driver(&rWriter, rDriver));
  }
  return first_failure(i32Result, rWriter.close());
}
