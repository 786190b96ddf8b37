// Whole documents through tiravo-doc's dump: its own walk of the document,
// the JSON of everything read, and the extraction of the embedded files,
// with the same plug-ins as the document target.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "docfile/chunkreaderc.h"
#include "fuzz/fuzzinputfile.h"
#include "fuzz/quietstderrc.h"
#include "tests/support/tempdirectoryc.h"
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

// Each input's embedded files are removed after it, so that the disk does
// not fill.
void remove_contents(const std::string& rDirectory) {
  for (const auto& rEntry : std::filesystem::directory_iterator(rDirectory)) {
    std::filesystem::remove_all(rEntry.path());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  static DumpRegistryC* s_pRegistry = make_registry();
  static const TempFileC s_rFile;
  static const TempDirectoryC s_rExtract;
  write_fuzz_input(s_rFile, nullptr, 0, pData, uiSize);
  DocCommandLineS rLine;
  rLine.m_sInput = s_rFile.path();
  rLine.m_sExtractDirectory = s_rExtract.path();
  QuietStderrC rQuiet;
  LoadedDocumentC rDocument;
  const int32_t i32Result = walk_document(rLine.m_sInput.c_str(), s_pRegistry, &rDocument);
  if (i32Result != CHUNK_NOT_OPEN && i32Result != CHUNK_WRONG_FORMAT) {
    dump_loaded(rLine, rDocument, i32Result);
  }
  remove_contents(s_rExtract.path());
  return 0;
}
