// Whole documents through tiravo-doc's dump: its own walk of the document,
// the JSON of everything read, and the extraction of the embedded files,
// with the same plug-ins as the document target.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "docfile/chunkreaderc.h"
#include "fuzz/fuzztempfilec.h"
#include "fuzz/quietstderrc.h"
#include "tools/tiravo-doc/doccommandlinec.h"
#include "tools/tiravo-doc/doccommands.h"
#include "tools/tiravo-doc/documentwalk.h"
#include "tools/tiravo-doc/dumpregistryc.h"
#include "tools/tiravo-doc/quietplugins.h"

namespace {

DumpRegistryC* make_registry() {
  DumpRegistryC* pRegistry = new DumpRegistryC();
  QuietStderrC rQuiet;
  load_plugins_quietly(pRegistry, TIRAVO_FUZZ_PLUGIN_DIR);
  load_plugins_quietly(pRegistry, TIRAVO_FUZZ_TEST_PLUGIN_DIR);
  // The JSON goes nowhere; libFuzzer reports on standard error.
  std::cout.setstate(std::ios::badbit);
  return pRegistry;
}

// Where each input's embedded files are extracted to; emptied after each
// input so that the disk does not fill, removed at exit.
class ExtractDirectoryC {
 public:
  ExtractDirectoryC() {
    const char* szDir = std::getenv("TMPDIR");
    m_sPath = std::string(szDir && *szDir ? szDir : "/tmp") + "/tiravo-fuzz-extract-XXXXXX";
    if (!mkdtemp(m_sPath.data())) {
      std::abort();
    }
  }
  ~ExtractDirectoryC() {
    std::error_code rError;
    std::filesystem::remove_all(m_sPath, rError);
  }
  ExtractDirectoryC(const ExtractDirectoryC&) = delete;
  ExtractDirectoryC& operator=(const ExtractDirectoryC&) = delete;

  const std::string& path() const { return m_sPath; }
  void remove_contents() const {
    for (const auto& rEntry : std::filesystem::directory_iterator(m_sPath)) {
      std::filesystem::remove_all(rEntry.path());
    }
  }

 private:
  std::string m_sPath;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  static DumpRegistryC* s_pRegistry = make_registry();
  static FuzzTempFileC s_rFile;
  static const ExtractDirectoryC s_rExtract;
  s_rFile.write(nullptr, 0, pData, uiSize);
  DocCommandLineS rLine;
  rLine.m_sInput = s_rFile.path();
  rLine.m_sExtractDirectory = s_rExtract.path();
  QuietStderrC rQuiet;
  LoadedDocumentC rDocument;
  const int32_t i32Result = walk_document(rLine.m_sInput.c_str(), s_pRegistry, &rDocument);
  if (i32Result != CHUNK_NOT_OPEN && i32Result != CHUNK_WRONG_FORMAT) {
    dump_loaded(rLine, rDocument, i32Result);
  }
  s_rExtract.remove_contents();
  return 0;
}
