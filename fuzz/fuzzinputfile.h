#ifndef FUZZ_FUZZINPUTFILE_H
#define FUZZ_FUZZINPUTFILE_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/support/tempfilec.h"

// The loaders read from files only: each input is written to one temporary
// file per process, rewritten for every run. The parts go one after the
// other; a file that cannot be written aborts, since every later run would
// test nothing.
inline void write_fuzz_input(const TempFileC& rFile, const uint8_t* pHead, size_t uiHeadSize, const uint8_t* pBody,
                             size_t uiBodySize) {
  FILE* pFile = std::fopen(rFile.path(), "wb");
  if (!pFile) {
    std::abort();
  }
  bool bOk = (uiHeadSize == 0 || std::fwrite(pHead, 1, uiHeadSize, pFile) == uiHeadSize) &&
             (uiBodySize == 0 || std::fwrite(pBody, 1, uiBodySize, pFile) == uiBodySize);
  bOk = std::fclose(pFile) == 0 && bOk;
  if (!bOk) {
    std::abort();
  }
}

#endif
