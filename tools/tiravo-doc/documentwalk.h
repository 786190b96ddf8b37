#ifndef TOOLS_TIRAVO_DOC_DOCUMENTWALK_H
#define TOOLS_TIRAVO_DOC_DOCUMENTWALK_H

#include <cstdint>
#include <string>
#include <vector>

#include "description/documentsaving.h"
#include "player/documentreading.h"
#include "tools/tiravo-doc/tracingreaderc.h"

class DumpRegistryC;
class ImportListC;
class SceneC;

// Everything a document held, as the objects loaded it. The file list has
// one handle per stored importable, in document order; a file whose class no
// plug-in provides has a handle without importable.
class LoadedDocumentC {
 public:
  LoadedDocumentC() = default;
  LoadedDocumentC(const LoadedDocumentC&) = delete;
  LoadedDocumentC& operator=(const LoadedDocumentC&) = delete;
  // Releases the scene and the files: before the registry unloads their code.
  ~LoadedDocumentC();

  SceneC* m_pScene = nullptr;
  ImportListC* m_pFiles = nullptr;
  std::vector<StoredClassS> m_rFileClasses;
  bool m_bHasMusic = false;
  std::string m_sMusic;
  std::vector<DocumentDriverS> m_rDrivers;
  std::vector<ChunkReportS> m_rReports;
  std::vector<std::string> m_rErrors;  // what the loaders told the reader
};

// Reads the document's top level with the objects' own loaders, through the
// registry's plug-ins. Returns 0 when the document was read to its end, else
// the reader's result code; what was read before a failure stays in
// rDocument.
int32_t walk_document(const char* szFileName, DumpRegistryC* pRegistry, LoadedDocumentC* pDocument);

#endif
