#include "description/builddocument.h"

#include "corelib/importlistc.h"
#include "corelib/scenec.h"
#include "description/buildfiles.h"
#include "description/buildscene.h"
#include "description/descriptionnodec.h"

BuiltDocumentC::BuiltDocumentC() : m_pScene(SceneC::create_scene()), m_pFiles(ImportListC::create_list()) {}

BuiltDocumentC::~BuiltDocumentC() {
  m_pScene->release();
  m_pFiles->release();
}

DocumentContentS BuiltDocumentC::content() const {
  DocumentContentS rContent;
  rContent.m_pFiles = m_pFiles;
  rContent.m_pScene = m_pScene;
  rContent.m_pMusic = m_bHasMusic ? &m_sMusic : nullptr;
  rContent.m_rDrivers = m_rDrivers;
  return rContent;
}

// Files first: parameters refer to them by index.
void build_document(const JsonT& rDescription, const std::string& rBaseDirectory, ClassRegistryC* pRegistry,
                    BuiltDocumentC* pDocument) {
  const NodeC rRoot(rDescription, "");
  rRoot.expect_object({"format", "scene", "files", "music", "drivers", "uninterpreted"});
  if (rRoot.has("format") && rRoot.member("format").to_string() != DESCRIPTION_FORMAT) {
    rRoot.member("format").fail(std::string("expected \"") + DESCRIPTION_FORMAT + "\"");
  }
  if (rRoot.has("files")) {
    build_files(rRoot.member("files"), rBaseDirectory, pRegistry, pDocument->m_pFiles, &pDocument->m_rImportedPaths);
  }
  if (rRoot.has("scene")) {
    build_scene(rRoot.member("scene"), pRegistry, pDocument->m_pFiles, pDocument->m_pScene);
  }
  if (rRoot.has("music")) {
    pDocument->m_bHasMusic = true;
    pDocument->m_sMusic = rRoot.member("music").to_string();
  }
  pDocument->m_rDrivers =
      rRoot.has("drivers") ? build_drivers(rRoot.member("drivers"), pRegistry) : default_drivers();
}
