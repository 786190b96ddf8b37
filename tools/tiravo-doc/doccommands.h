#ifndef TOOLS_TIRAVO_DOC_DOCCOMMANDS_H
#define TOOLS_TIRAVO_DOC_DOCCOMMANDS_H

#include "tools/tiravo-doc/doccommandlinec.h"

constexpr int DOC_EXIT_OK = 0;
constexpr int DOC_EXIT_FAILED = 1;
constexpr int DOC_EXIT_USAGE = 2;

// Each prints its errors on standard error and returns the exit code.
int run_dump(const DocCommandLineS& rLine);
int run_build(const DocCommandLineS& rLine);

#endif
