#include <cstdio>
#include <filesystem>
#include <fstream>

#include "docfile/chunkreaderc.h"
#include "player/classregistryc.h"
#include "tools/tiravo-doc/builddocument.h"
#include "tools/tiravo-doc/doccommands.h"
#include "tools/tiravo-doc/descriptionnodec.h"
#include "tools/tiravo-doc/quietplugins.h"

namespace {

bool read_description(const std::string& rPath, JsonT* pDescription) {
  std::ifstream rIn(rPath);
  if (!rIn) {
    std::fprintf(stderr, "tiravo-doc: cannot read %s\n", rPath.c_str());
    return false;
  }
  try {
    *pDescription = JsonT::parse(rIn);
  } catch (const JsonT::parse_error& rError) {
    std::fprintf(stderr, "tiravo-doc: %s: not JSON: %s\n", rPath.c_str(), rError.what());
    return false;
  }
  return true;
}

bool build_and_save(const DocCommandLineS& rLine, const JsonT& rDescription, ClassRegistryC* pRegistry) {
  BuiltDocumentC rDocument;
  const std::string sBase = std::filesystem::path(rLine.m_sInput).parent_path().string();
  try {
    build_document(rDescription, sBase.empty() ? "." : sBase, pRegistry, &rDocument);
  } catch (const DescriptionErrorC& rError) {
    std::fprintf(stderr, "tiravo-doc: %s: %s\n", rLine.m_sInput.c_str(), rError.what());
    return false;
  }
  if (save_document(rLine.m_sOutput.c_str(), rDocument.content()) != CHUNK_OK) {
    std::fprintf(stderr, "tiravo-doc: cannot write %s\n", rLine.m_sOutput.c_str());
    std::remove(rLine.m_sOutput.c_str());
    return false;
  }
  return true;
}

}  // namespace

int run_build(const DocCommandLineS& rLine) {
  JsonT rDescription;
  if (!read_description(rLine.m_sInput, &rDescription)) {
    return DOC_EXIT_FAILED;
  }
  ClassRegistryC rRegistry;
  load_plugins_quietly(&rRegistry, rLine.m_sPluginDirectory);
  return build_and_save(rLine, rDescription, &rRegistry) ? DOC_EXIT_OK : DOC_EXIT_FAILED;
}
