#ifndef TESTS_SUPPORT_TEMPDIRECTORYC_H
#define TESTS_SUPPORT_TEMPDIRECTORYC_H

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// A new directory in the temporary directory, removed with everything in it
// when it goes out of scope.
class TempDirectoryC {
 public:
  TempDirectoryC() {
    const char* szDir = std::getenv("TMPDIR");
    std::string sTemplate = std::string(szDir && *szDir ? szDir : "/tmp") + "/tiravo-test-XXXXXX";
    std::vector<char> rName(sTemplate.begin(), sTemplate.end());
    rName.push_back('\0');
    const char* szMade = mkdtemp(rName.data());
    m_sPath = szMade ? szMade : "";
  }
  ~TempDirectoryC() {
    std::error_code rError;
    std::filesystem::remove_all(m_sPath, rError);
  }
  TempDirectoryC(const TempDirectoryC&) = delete;
  TempDirectoryC& operator=(const TempDirectoryC&) = delete;

  const std::string& path() const { return m_sPath; }
  std::string file(const std::string& rName) const { return m_sPath + "/" + rName; }

 private:
  std::string m_sPath;
};

#endif
