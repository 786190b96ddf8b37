#ifndef FUZZ_QUIETSTDERRC_H
#define FUZZ_QUIETSTDERRC_H

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

// Load errors are reported for nearly every input; they would bury
// libFuzzer's own output. While one of these lives, standard error goes to
// /dev/null, unless TIRAVO_FUZZ_VERBOSE=1.
class QuietStderrC {
 public:
  QuietStderrC() {
    if (!is_quiet()) {
      return;
    }
    std::fflush(stderr);
    m_iSaved = dup(2);
    const int iNull = open("/dev/null", O_WRONLY);
    if (iNull >= 0) {
      dup2(iNull, 2);
      close(iNull);
    }
  }
  ~QuietStderrC() {
    if (m_iSaved >= 0) {
      std::fflush(stderr);
      dup2(m_iSaved, 2);
      close(m_iSaved);
    }
  }
  QuietStderrC(const QuietStderrC&) = delete;
  QuietStderrC& operator=(const QuietStderrC&) = delete;

 private:
  static bool is_quiet() {
    static const bool s_bQuiet = [] {
      const char* szVerbose = std::getenv("TIRAVO_FUZZ_VERBOSE");
      return !(szVerbose && *szVerbose == '1');
    }();
    return s_bQuiet;
  }

  int m_iSaved = -1;
};

#endif
