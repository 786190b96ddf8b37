#ifndef FUZZ_FUZZTEMPFILEC_H
#define FUZZ_FUZZTEMPFILEC_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The loaders read from files only: each input is written to one temporary
// file per process, rewritten for every run.
class FuzzTempFileC {
 public:
  FuzzTempFileC() {
    const char* szDir = std::getenv("TMPDIR");
    m_sPath = std::string(szDir && *szDir ? szDir : "/tmp") + "/tiravo-fuzz-XXXXXX";
    const int iFd = mkstemp(m_sPath.data());
    if (iFd < 0) {
      std::abort();
    }
    close(iFd);
  }
  ~FuzzTempFileC() { std::remove(m_sPath.c_str()); }
  FuzzTempFileC(const FuzzTempFileC&) = delete;
  FuzzTempFileC& operator=(const FuzzTempFileC&) = delete;

  // Writes the parts one after the other; aborts if the file cannot be written.
  void write(const uint8_t* pHead, size_t uiHeadSize, const uint8_t* pBody, size_t uiBodySize) {
    FILE* pFile = std::fopen(m_sPath.c_str(), "wb");
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
  const char* path() const { return m_sPath.c_str(); }

 private:
  std::string m_sPath;
};

#endif
