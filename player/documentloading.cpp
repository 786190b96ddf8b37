#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/importablebasec.h"
#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "description/builddocument.h"
#include "description/descriptionfile.h"
#include "description/documentsaving.h"
#include "docfile/chunkreaderc.h"
#include "platform/memoryfilec.h"
#include "platform/messagebox.h"
#include "corelib/documentchunks.h"
#include "player/documentreading.h"
#include "player/playerc.h"

namespace {

std::string missing_class_text(const char* szWhat, const StoredClassS& rStored) {
  char szIdent[32];
  std::snprintf(szIdent, sizeof(szIdent), " (0x%08x, 0x%08x)", rStored.m_rClass.get_first(),
                rStored.m_rClass.get_second());
  return std::string(szWhat) + rStored.m_sClassName + szIdent + " cannot be created. Propably missing DLL.";
}

std::string load_failure_text(ChunkReaderC* pReader) {
  std::string sText = "Loading file failed.\n\n";
  if (pReader->get_error_count() > 0) {
    sText += "Following error occured:\n";
    for (int32_t i = 0; i < pReader->get_error_count(); ++i) {
      sText += pReader->get_error_text(i);
      sText += "\n";
    }
  }
  return sText;
}

// Only an object of the expected kind is kept: a registry class of another
// family would otherwise be driven through the wrong interface.
template <class ObjectT>
ObjectT* create_as(ClassRegistryC* pRegistry, const ClassIdentC& rClass) {
  DataObjectC* pObject = pRegistry ? pRegistry->create_object(rClass) : nullptr;
  ObjectT* pTyped = dynamic_cast<ObjectT*>(pObject);
  if (pObject && !pTyped) {
    pObject->release();
  }
  return pTyped;
}

// Descriptions are JSON objects; documents begin with their signature.
bool is_description_file(const char* szFileName) {
  std::ifstream rIn(szFileName, std::ios::binary);
  char c = 0;
  while (rIn.get(c) && std::isspace(static_cast<unsigned char>(c))) {
  }
  return rIn && c == '{';
}

}  // namespace

int32_t PlayerC::load(const char* szFileName) {
  m_sDocumentFileName = szFileName;
  if (m_pImportList) {
    m_pImportList->release();
  }
  if (m_pScene) {
    m_pScene->release();
  }
  m_pScene = SceneC::create_scene();
  m_pImportList = ImportListC::create_list();
  std::string sError;
  const int32_t i32Result = read_document_file(szFileName, true, &sError);
  if (i32Result != CHUNK_OK) {
    show_message_box("Load Error", sError.c_str(), MESSAGE_ICON_ERROR);
  }
  return i32Result;
}

// A description is built into a document in memory, which is then read as
// any document is: what plays is what tiravo-doc build would have saved.
int32_t PlayerC::read_document_file(const char* szFileName, bool bWithDefaultDriver, std::string* pError) {
  MemoryFileC rBuilt;
  const char* szDocument = szFileName;
  m_rWatchedFiles = {szFileName};
  m_bDescription = is_description_file(szFileName);
  if (m_bDescription) {
    if (!build_description(szFileName, &rBuilt, pError)) {
      return CHUNK_DAMAGED;
    }
    szDocument = rBuilt.path().c_str();
  }
  ChunkReaderC rReader(&m_rRegistry);
  int32_t i32Result = rReader.open(szDocument, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  if (i32Result != CHUNK_OK) {
    *pError = i32Result == CHUNK_WRONG_FORMAT ? "File is in wrong format." : "Cannot open file for input.";
    return i32Result;
  }
  i32Result = read_document_chunks(&rReader);
  if (i32Result == CHUNK_OK && bWithDefaultDriver) {
    ensure_graphics_device(&rReader);
  }
  if (i32Result == CHUNK_OK || i32Result == CHUNK_END) {
    return CHUNK_OK;
  }
  *pError = load_failure_text(&rReader);
  return i32Result;
}

bool PlayerC::build_description(const char* szFileName, MemoryFileC* pDocument, std::string* pError) {
  BuiltDocumentC rBuilt;
  const bool bBuilt = build_description_file(szFileName, &m_rRegistry, &rBuilt, pError);
  m_rWatchedFiles.insert(m_rWatchedFiles.end(), rBuilt.m_rImportedPaths.begin(), rBuilt.m_rImportedPaths.end());
  if (!bBuilt) {
    return false;
  }
  if (!pDocument->is_open() || save_document(pDocument->path().c_str(), rBuilt.content()) != CHUNK_OK) {
    *pError = std::string("cannot make the document of ") + szFileName + " in memory";
    return false;
  }
  return true;
}

int32_t PlayerC::load_document(ChunkReaderC* pReader) {
  const int32_t i32Result = read_document_chunks(pReader);
  if (i32Result == CHUNK_OK) {
    ensure_graphics_device(pReader);
  }
  return i32Result;
}

int32_t PlayerC::read_document_chunks(ChunkReaderC* pReader) {
  m_rDefaultDriverClass = CLASS_OPENGL_DEVICEDRIVER;
  std::vector<ImportHandleC*> rHandles;
  for (;;) {
    int32_t i32Result = pReader->open_chunk();
    if (i32Result == CHUNK_END) {
      break;
    }
    if (i32Result != CHUNK_OK) {
      return i32Result;
    }
    if (pReader->get_chunk_version() == DOCUMENT_CHUNK_VERSION) {
      switch (pReader->get_chunk_id()) {
        case DOCUMENT_CHUNK_IMPORTABLE:
          i32Result = load_importable(pReader, &rHandles);
          break;
        case DOCUMENT_CHUNK_SCENE:
          i32Result = m_pScene->load(pReader);
          break;
        case DOCUMENT_CHUNK_MUSIC: {
          char szName[CHUNK_STRING_BUFFER_SIZE];
          i32Result = pReader->read_str(szName);
          m_sMusicFileName = szName;
          break;
        }
        case DOCUMENT_CHUNK_DEVICE_DRIVER:
          i32Result = load_device_driver(pReader);
          break;
        default:
          break;
      }
    }
    pReader->close_chunk();
    if (i32Result != CHUNK_OK && i32Result != CHUNK_END) {
      return i32Result;
    }
  }
  // The handles exist only now that every importable is read.
  patch_file_fixups(pReader, rHandles);
  return CHUNK_OK;
}

// A class name that could not be read still leaves the identifier to try: a
// class that cannot be made is named in the summary either way, and one that
// can meets the reader's error in its own load.
int32_t PlayerC::load_importable(ChunkReaderC* pReader, std::vector<ImportHandleC*>* pHandles) {
  StoredClassS rStored;
  read_stored_class(pReader, &rStored);
  ImportableBaseC* pImportable = create_as<ImportableBaseC>(pReader->get_class_registry(), rStored.m_rClass);
  if (!pImportable) {
    pReader->add_error(missing_class_text("- Load File: Importable ", rStored).c_str());
    pHandles->push_back(nullptr);
    return CHUNK_DAMAGED;
  }
  const int32_t i32Result = pImportable->load(pReader);
  pHandles->push_back(m_pImportList->add_handle(pImportable));
  return i32Result;
}

// As for importables, a failed read of the class name does not stop the attempt.
int32_t PlayerC::load_device_driver(ChunkReaderC* pReader) {
  StoredClassS rStored;
  read_stored_class(pReader, &rStored);
  DeviceDriverBaseC* pDriver = create_as<DeviceDriverBaseC>(pReader->get_class_registry(), rStored.m_rClass);
  if (!pDriver) {
    pReader->add_error(missing_class_text("- Device driver: Device driver ", rStored).c_str());
    return CHUNK_DAMAGED;
  }
  const int32_t i32Result = pDriver->load(pReader);
  m_pDevices->add_device(pDriver);
  return i32Result;
}

void PlayerC::ensure_graphics_device(ChunkReaderC* pReader) {
  if (m_pDevices->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE)) {
    return;
  }
  DeviceDriverBaseC* pDriver = create_as<DeviceDriverBaseC>(pReader->get_class_registry(), m_rDefaultDriverClass);
  show_message_box("Load Error", "No default device dirver.", MESSAGE_ICON_ERROR);
  if (pDriver) {
    m_pDevices->add_device(pDriver);
  } else {
    pReader->add_error("Load Doc: Could not initialise graphics device.");
  }
}
