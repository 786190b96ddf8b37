#ifndef TESTS_SUPPORT_TEMPFILEC_H
#define TESTS_SUPPORT_TEMPFILEC_H

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A unique file name in the temporary directory, removed when it goes out of scope.
class TempFileC {
 public:
  TempFileC() {
    const char* szDir = std::getenv("TMPDIR");
    std::string sTemplate = std::string(szDir && *szDir ? szDir : "/tmp") + "/tiravo-test-XXXXXX";
    std::vector<char> rName(sTemplate.begin(), sTemplate.end());
    rName.push_back('\0');
    int iFd = mkstemp(rName.data());
    if (iFd >= 0) {
      ::close(iFd);
    }
    m_sPath = rName.data();
  }
  ~TempFileC() { std::remove(m_sPath.c_str()); }
  TempFileC(const TempFileC&) = delete;
  TempFileC& operator=(const TempFileC&) = delete;

  const char* path() const { return m_sPath.c_str(); }

  std::vector<uint8_t> read_bytes() const {
    std::ifstream rIn(m_sPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(rIn), std::istreambuf_iterator<char>());
  }

  void write_bytes(const std::vector<uint8_t>& rBytes) const {
    std::ofstream rOut(m_sPath, std::ios::binary | std::ios::trunc);
    rOut.write(reinterpret_cast<const char*>(rBytes.data()), static_cast<std::streamsize>(rBytes.size()));
  }

 private:
  std::string m_sPath;
};

#endif
