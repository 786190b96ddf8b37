#include <cstdio>

#include "description/builddocument.h"
#include "description/descriptionfile.h"
#include "docfile/chunkreaderc.h"
#include "registry/classregistryc.h"
#include "tools/tiravo-doc/doccommands.h"
#include "tools/tiravo-doc/quietplugins.h"

int run_build(const DocCommandLineS& rLine) {
  ClassRegistryC rRegistry;
  load_plugins_quietly(&rRegistry, rLine.m_sPluginDirectory);
  BuiltDocumentC rDocument;
  std::string sError;
  if (!build_description_file(rLine.m_sInput, &rRegistry, &rDocument, &sError)) {
    std::fprintf(stderr, "tiravo-doc: %s\n", sError.c_str());
    return DOC_EXIT_FAILED;
  }
  if (save_document(rLine.m_sOutput.c_str(), rDocument.content()) != CHUNK_OK) {
    std::fprintf(stderr, "tiravo-doc: cannot write %s\n", rLine.m_sOutput.c_str());
    std::remove(rLine.m_sOutput.c_str());
    return DOC_EXIT_FAILED;
  }
  return DOC_EXIT_OK;
}
