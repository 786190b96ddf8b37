#ifndef TESTS_ENDTOEND_XSERVERC_H
#define TESTS_ENDTOEND_XSERVERC_H

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

// A virtual X display (Xvfb) of one screen, so that the options dialog can be
// shown and answered as a user would, by keys and clicks sent with xdotool.
class XServerC {
 public:
  // A screen of 640 × 480 with the given colour depth; the server picks a
  // free display number and reports it.
  explicit XServerC(int iDepth) {
    int rPipe[2];
    if (pipe(rPipe) != 0) {
      return;
    }
    m_iPid = fork();
    if (m_iPid == 0) {
      close(rPipe[0]);
      const std::string sFd = std::to_string(rPipe[1]);
      const std::string sScreen = "640x480x" + std::to_string(iDepth);
      execlp(TIRAVO_XVFB, TIRAVO_XVFB, "-displayfd", sFd.c_str(), "-screen", "0", sScreen.c_str(), "-nolisten",
             "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(rPipe[1]);
    char szNumber[16] = {};
    ssize_t iRead = 0;
    while (iRead < static_cast<ssize_t>(sizeof(szNumber) - 1)) {
      const ssize_t iNow = read(rPipe[0], szNumber + iRead, sizeof(szNumber) - 1 - static_cast<size_t>(iRead));
      if (iNow <= 0 || szNumber[iRead + iNow - 1] == '\n') {
        iRead += iNow > 0 ? iNow : 0;
        break;
      }
      iRead += iNow;
    }
    close(rPipe[0]);
    if (iRead > 0) {
      m_sDisplay = ":" + std::to_string(std::atoi(szNumber));
    }
  }
  XServerC(const XServerC&) = delete;
  XServerC& operator=(const XServerC&) = delete;
  ~XServerC() { stop(); }

  // Empty when the server did not start.
  const std::string& display() const { return m_sDisplay; }

  // Runs xdotool with the arguments on this display; true when it succeeded.
  // Every window search waits for the window, for 20 seconds at most.
  bool xdotool(const std::string& rArguments) const {
    const std::string sCommand =
        "DISPLAY=" + m_sDisplay + " timeout 20 " + std::string(TIRAVO_XDOTOOL) + " " + rArguments;
    return std::system(sCommand.c_str()) == 0;
  }

  // Ends the server, and with it every program still showing windows there.
  void stop() {
    if (m_iPid > 0) {
      kill(m_iPid, SIGTERM);
      waitpid(m_iPid, nullptr, 0);
      m_iPid = -1;
    }
  }

 private:
  pid_t m_iPid = -1;
  std::string m_sDisplay;
};

#endif
