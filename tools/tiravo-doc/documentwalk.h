#ifndef TOOLS_TIRAVO_DOC_DOCUMENTWALK_H
#define TOOLS_TIRAVO_DOC_DOCUMENTWALK_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classidentc.h"
#include "player/documentsaving.h"
#include "tools/tiravo-doc/tracingreaderc.h"

class DumpRegistryC;
class ImportListC;
class SceneC;

// The class a stored importable named; the class is missing when no plug-in
// provides it, and its handle then holds no importable.
struct StoredClassS {
  ClassIdentC m_rClass;
  std::string m_sClassName;
  bool m_bProvided = false;
};

// Everything a document held, as the objects loaded it. The file list has
// one handle per stored importable, in document order.
struct LoadedDocumentS {
  LoadedDocumentS() = default;
  LoadedDocumentS(const LoadedDocumentS&) = delete;
  LoadedDocumentS& operator=(const LoadedDocumentS&) = delete;
  // Releases the scene and the files: before the registry unloads their code.
  ~LoadedDocumentS();

  SceneC* m_pScene = nullptr;
  ImportListC* m_pFiles = nullptr;
  std::vector<StoredClassS> m_rFileClasses;
  bool m_bHasMusic = false;
  std::string m_sMusic;
  std::vector<DocumentDriverS> m_rDrivers;
  std::vector<StoredClassS> m_rDriverClasses;
  std::vector<ChunkReportS> m_rReports;
  std::vector<std::string> m_rErrors;  // what the loaders told the reader
};

// Reads the document's top level with the objects' own loaders, through the
// registry's plug-ins. Returns 0 when the document was read to its end, else
// the reader's result code; what was read before a failure stays in
// rDocument.
int32_t walk_document(const char* szFileName, DumpRegistryC* pRegistry, LoadedDocumentS* pDocument);

#endif
