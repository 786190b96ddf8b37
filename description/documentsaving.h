#ifndef DESCRIPTION_DOCUMENTSAVING_H
#define DESCRIPTION_DOCUMENTSAVING_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classidentc.h"

class ImportListC;
class SceneC;

// A device driver as the document stores it: drivers do not save
// themselves, so the chunk holds the class and the driver's own bytes.
struct DocumentDriverS {
  ClassIdentC m_rClass;
  std::string m_sClassName;
  std::vector<uint8_t> m_rData;
};

// What a document holds at its top level. Pointers are not owned; null
// music means the document has no music chunk.
struct DocumentContentS {
  ImportListC* m_pFiles = nullptr;
  SceneC* m_pScene = nullptr;
  const std::string* m_pMusic = nullptr;
  std::vector<DocumentDriverS> m_rDrivers;
};

// Writes a whole document: the signature, then the importables (0x1000), the
// scene (0x2000), the music name (0x4000) and the drivers (0x5000), in that
// order. Each file handle's user value becomes its index, which is how file
// parameters save their reference. Returns 0 or the writer's first failure.
int32_t save_document(const char* szFileName, const DocumentContentS& rContent);

#endif
