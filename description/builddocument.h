#ifndef DESCRIPTION_BUILDDOCUMENT_H
#define DESCRIPTION_BUILDDOCUMENT_H

#include <string>

#include "description/documentsaving.h"
#include "description/jsonvalues.h"

class ClassRegistryC;

// A document made from a description: it owns the scene and the files.
class BuiltDocumentC {
 public:
  BuiltDocumentC();
  BuiltDocumentC(const BuiltDocumentC&) = delete;
  BuiltDocumentC& operator=(const BuiltDocumentC&) = delete;
  // Releases the scene and the files: before the registry unloads their code.
  ~BuiltDocumentC();

  // What save_document needs; valid while this document lives.
  DocumentContentS content() const;

  SceneC* m_pScene;
  ImportListC* m_pFiles;
  bool m_bHasMusic = false;
  std::string m_sMusic;
  std::vector<DocumentDriverS> m_rDrivers;
  // The files imported, as read: a change to one changes the document.
  std::vector<std::string> m_rImportedPaths;
};

// Builds the described document through the registry's classes; throws
// DescriptionErrorC naming the JSON path of what is wrong.
void build_document(const JsonT& rDescription, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                    BuiltDocumentC* pDocument);

#endif
