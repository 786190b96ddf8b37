#ifndef TOOLS_TIRAVO_DOC_DOCCOMMANDS_H
#define TOOLS_TIRAVO_DOC_DOCCOMMANDS_H

#include <cstdint>

#include "tools/tiravo-doc/doccommandlinec.h"

class LoadedDocumentC;

constexpr int DOC_EXIT_OK = 0;
constexpr int DOC_EXIT_FAILED = 1;
constexpr int DOC_EXIT_USAGE = 2;

// Each prints its errors on standard error and returns the exit code.
int run_dump(const DocCommandLineS& rLine);
int run_build(const DocCommandLineS& rLine);
int run_join(const DocCommandLineS& rLine);
// The second half of run_dump: prints the document that walk_document read
// with the result i32Result, and extracts its files when asked to.
int dump_loaded(const DocCommandLineS& rLine, const LoadedDocumentC& rDocument, int32_t i32Result);

#endif
