#include "tools/tiravo-doc/documentwalk.h"

#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "docfile/chunkreaderc.h"
#include "corelib/documentchunks.h"
#include "tools/tiravo-doc/dumpregistryc.h"

namespace {

ImportableBaseC* create_importable(DumpRegistryC* pRegistry, const ClassIdentC& rClass) {
  PluginClass::ClassDescC* pDesc = pRegistry->find_provided(rClass);
  if (!pDesc || pDesc->get_class_kind() != PluginClass::CLASS_KIND_IMPORTABLE) {
    return nullptr;
  }
  DataObjectC* pObject = pDesc->make_object();
  ImportableBaseC* pImportable = dynamic_cast<ImportableBaseC*>(pObject);
  if (pObject && !pImportable) {
    pObject->release();
  }
  return pImportable;
}

// A file whose class is missing still gets a handle, without importable, so
// that parameters keep their reference to it.
int32_t load_importable(TracingReaderC* pReader, DumpRegistryC* pRegistry, LoadedDocumentC* pDocument) {
  StoredClassS rStored;
  int32_t i32Result = read_stored_class(pReader, &rStored);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  ImportableBaseC* pImportable = create_importable(pRegistry, rStored.m_rClass);
  if (pImportable) {
    i32Result = pImportable->load(pReader);
  } else {
    pReader->report_missing_class(rStored.m_rClass, rStored.m_sClassName);
  }
  pDocument->m_pFiles->add_handle(pImportable);
  pDocument->m_rFileClasses.push_back(rStored);
  return i32Result;
}

// Drivers do not save themselves, so their data is kept as the bytes it is.
int32_t load_driver(TracingReaderC* pReader, LoadedDocumentC* pDocument) {
  StoredClassS rStored;
  int32_t i32Result = read_stored_class(pReader, &rStored);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  DocumentDriverS rDriver{rStored.m_rClass, rStored.m_sClassName, {}};
  rDriver.m_rData.resize(pReader->get_chunk_remaining());
  if (!rDriver.m_rData.empty()) {
    i32Result = pReader->read(rDriver.m_rData.data(), static_cast<uint32_t>(rDriver.m_rData.size()));
  }
  pDocument->m_rDrivers.push_back(rDriver);
  return i32Result;
}

int32_t load_music(TracingReaderC* pReader, LoadedDocumentC* pDocument) {
  char szName[CHUNK_STRING_BUFFER_SIZE];
  const int32_t i32Result = pReader->read_str(szName);
  pDocument->m_bHasMusic = true;
  pDocument->m_sMusic = szName;
  return i32Result;
}

int32_t load_top_chunk(TracingReaderC* pReader, DumpRegistryC* pRegistry, LoadedDocumentC* pDocument) {
  if (pReader->get_chunk_version() != DOCUMENT_CHUNK_VERSION) {
    return CHUNK_OK;
  }
  switch (pReader->get_chunk_id()) {
    case DOCUMENT_CHUNK_IMPORTABLE:
      return load_importable(pReader, pRegistry, pDocument);
    case DOCUMENT_CHUNK_SCENE:
      return pDocument->m_pScene->load(pReader);
    case DOCUMENT_CHUNK_MUSIC:
      return load_music(pReader, pDocument);
    case DOCUMENT_CHUNK_DEVICE_DRIVER:
      return load_driver(pReader, pDocument);
    default:
      return CHUNK_OK;
  }
}

// Unlike the player's, a handle without importable is one too: parameters
// keep their reference to a file whose class is missing.
std::vector<ImportHandleC*> file_handles(ImportListC* pFiles) {
  std::vector<ImportHandleC*> rHandles;
  for (int32_t i = 0; i < pFiles->get_handle_count(); ++i) {
    rHandles.push_back(pFiles->get_handle(i));
  }
  return rHandles;
}

int32_t walk_chunks(TracingReaderC* pReader, DumpRegistryC* pRegistry, LoadedDocumentC* pDocument) {
  for (;;) {
    int32_t i32Result = pReader->open_chunk();
    if (i32Result == CHUNK_END) {
      return CHUNK_OK;
    }
    if (i32Result != CHUNK_OK) {
      return i32Result;
    }
    i32Result = load_top_chunk(pReader, pRegistry, pDocument);
    pReader->close_chunk();
    if (i32Result != CHUNK_OK && i32Result != CHUNK_END) {
      return i32Result;
    }
  }
}

}  // namespace

LoadedDocumentC::~LoadedDocumentC() {
  if (m_pScene) {
    m_pScene->release();
  }
  if (m_pFiles) {
    m_pFiles->release();
  }
}

int32_t walk_document(const char* szFileName, DumpRegistryC* pRegistry, LoadedDocumentC* pDocument) {
  pDocument->m_pScene = SceneC::create_scene();
  pDocument->m_pFiles = ImportListC::create_list();
  TracingReaderC rReader(pRegistry);
  pRegistry->set_last_string(&rReader.get_last_string());
  int32_t i32Result = rReader.open(szFileName, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  if (i32Result == CHUNK_OK) {
    i32Result = walk_chunks(&rReader, pRegistry, pDocument);
    patch_file_fixups(&rReader, file_handles(pDocument->m_pFiles));
  }
  pRegistry->set_last_string(nullptr);
  pDocument->m_rReports = rReader.get_reports();
  for (int32_t i = 0; i < rReader.get_error_count(); ++i) {
    pDocument->m_rErrors.push_back(rReader.get_error_text(i));
  }
  return i32Result;
}
