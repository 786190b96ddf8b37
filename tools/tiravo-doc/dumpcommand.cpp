#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

#include "corelib/devicetablec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "docfile/chunkreaderc.h"
#include "tools/tiravo-doc/devicepreparation.h"
#include "tools/tiravo-doc/doccommands.h"
#include "tools/tiravo-doc/documentwalk.h"
#include "tools/tiravo-doc/dumpregistryc.h"
#include "tools/tiravo-doc/embeddedfiles.h"
#include "tools/tiravo-doc/jsondump.h"
#include "tools/tiravo-doc/quietplugins.h"

namespace {

constexpr int JSON_INDENT = 2;

const char* result_text(int32_t i32Result) {
  switch (i32Result) {
    case CHUNK_NOT_OPEN:
      return "cannot open it";
    case CHUNK_WRONG_FORMAT:
      return "it is not a presentation document (its signature is wrong)";
    case CHUNK_EOF:
      return "it ends where a chunk should begin";
    default:
      return "it is damaged or cut short";
  }
}

// In a damaged document the walk may have stopped before the last file
// chunk that the embedded files were read from.
bool copy_files(const DocCommandLineS& rLine, const LoadedDocumentC& rDocument,
                const std::vector<EmbeddedFileS>& rEmbedded, std::vector<FileDumpS>* pFiles) {
  std::vector<std::string> rUsedNames;
  const size_t uHandles = static_cast<size_t>(rDocument.m_pFiles->get_handle_count());
  for (size_t u = 0; u < rEmbedded.size() && u < pFiles->size() && u < uHandles; ++u) {
    ImportHandleC* pHandle = rDocument.m_pFiles->get_handle(static_cast<int32_t>(u));
    ImportableBaseC* pImportable = pHandle ? pHandle->get_importable() : nullptr;
    if (!rEmbedded[u].m_bFound || !pImportable) {
      continue;
    }
    std::string sError;
    (*pFiles)[u].m_sCopy = write_file_copy(rLine.m_sExtractDirectory, pImportable->get_file_name(),
                                           static_cast<int32_t>(u), rEmbedded[u].m_rBytes, &rUsedNames, &sError);
    if (!sError.empty()) {
      std::fprintf(stderr, "tiravo-doc: %s\n", sError.c_str());
      return false;
    }
  }
  return true;
}

// Sizes, and copies with --extract, of the embedded files.
bool describe_files(const DocCommandLineS& rLine, const LoadedDocumentC& rDocument, std::vector<FileDumpS>* pFiles) {
  const std::vector<EmbeddedFileS> rEmbedded = read_embedded_files(rLine.m_sInput.c_str());
  pFiles->resize(rEmbedded.size());
  for (size_t u = 0; u < rEmbedded.size(); ++u) {
    (*pFiles)[u].m_bHasSize = rEmbedded[u].m_bFound;
    (*pFiles)[u].m_ui64Size = rEmbedded[u].m_rBytes.size();
  }
  return rLine.m_sExtractDirectory.empty() || copy_files(rLine, rDocument, rEmbedded, pFiles);
}

void warn_missing_classes(const LoadedDocumentC& rDocument, const std::string& rPluginDirectory) {
  for (const ChunkReportS& rReport : rDocument.m_rReports) {
    if (rReport.m_eReason == REASON_MISSING_CLASS) {
      std::fprintf(stderr, "tiravo-doc: warning: no plug-in in %s provides the class %s (%s)\n",
                   plugin_places(rPluginDirectory).c_str(), rReport.m_sClassName.c_str(), class_ident_text(rReport.m_rClass).c_str());
    }
  }
}

bool make_extract_directory(const std::string& rDirectory) {
  std::error_code rError;
  std::filesystem::create_directories(rDirectory, rError);
  if (rError) {
    std::fprintf(stderr, "tiravo-doc: cannot make %s: %s\n", rDirectory.c_str(), rError.message().c_str());
    return false;
  }
  return true;
}

}  // namespace

int dump_loaded(const DocCommandLineS& rLine, const LoadedDocumentC& rDocument, int32_t i32Result) {
  std::vector<FileDumpS> rFiles;
  const bool bCopied = describe_files(rLine, rDocument, &rFiles);
  std::cout << dump_document(rDocument, rFiles).dump(JSON_INDENT, ' ', false, JsonT::error_handler_t::replace)
            << "\n";
  warn_missing_classes(rDocument, rLine.m_sPluginDirectory);
  for (const std::string& rError : rDocument.m_rErrors) {
    std::fprintf(stderr, "tiravo-doc: %s: %s\n", rLine.m_sInput.c_str(), rError.c_str());
  }
  if (i32Result != CHUNK_OK) {
    std::fprintf(stderr, "tiravo-doc: %s: %s; what could be read is printed\n", rLine.m_sInput.c_str(),
                 result_text(i32Result));
  }
  return i32Result == CHUNK_OK && rDocument.m_rErrors.empty() && bCopied ? DOC_EXIT_OK : DOC_EXIT_FAILED;
}

int run_dump(const DocCommandLineS& rLine) {
  if (!rLine.m_sExtractDirectory.empty() && !make_extract_directory(rLine.m_sExtractDirectory)) {
    return DOC_EXIT_FAILED;
  }
  DumpRegistryC rRegistry;
  load_plugins_quietly(&rRegistry, rLine.m_sPluginDirectory);
  // Outlives the document's files, which may hold things in its devices.
  DeviceTableC rDevices;
  LoadedDocumentC rDocument;
  const int32_t i32Result = walk_document(rLine.m_sInput.c_str(), &rRegistry, &rDocument);
  if (i32Result == CHUNK_NOT_OPEN || i32Result == CHUNK_WRONG_FORMAT) {
    std::fprintf(stderr, "tiravo-doc: %s: %s\n", rLine.m_sInput.c_str(), result_text(i32Result));
    return DOC_EXIT_FAILED;
  }
  prepare_files_on_device(&rRegistry, rDocument, &rDevices);
  return dump_loaded(rLine, rDocument, i32Result);
}
