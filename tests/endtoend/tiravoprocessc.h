#ifndef TESTS_ENDTOEND_TIRAVOPROCESSC_H
#define TESTS_ENDTOEND_TIRAVOPROCESSC_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/tempfilec.h"

extern char** environ;

// The real tiravo program, run in a directory of the test's choice with the
// environment of a machine without a display unless the test adds to it.
class TiravoProcessC {
 public:
  struct ResultS {
    int m_iExitCode;  // -1 when it did not exit normally
    std::string m_sError;
    std::string m_sOutput;
  };

  // Variables that would tell the player about a display or choose SDL drivers.
  static std::vector<std::string> removed_variables() {
    return {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "SDL_AUDIODRIVER"};
  }

  void set_variable(const std::string& rName, const std::string& rValue) { m_rAdded[rName] = rValue; }
  // Another build of the program, such as an installed one.
  void set_program(const std::string& rPath) { m_sProgram = rPath; }

  ResultS run(const std::string& rDirectory, const std::vector<std::string>& rArgs) const {
    TempFileC rErrorFile;
    TempFileC rOutputFile;
    const pid_t iChild = fork();
    if (iChild == 0) {
      exec_child(rDirectory, rArgs, rErrorFile.path(), rOutputFile.path());
    }
    int iStatus = 0;
    waitpid(iChild, &iStatus, 0);
    return {WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1, read_file(rErrorFile.path()),
            read_file(rOutputFile.path())};
  }

 private:
  static std::string read_file(const char* szPath) {
    std::ifstream rIn(szPath);
    return std::string((std::istreambuf_iterator<char>(rIn)), std::istreambuf_iterator<char>());
  }

  [[noreturn]] void exec_child(const std::string& rDirectory, const std::vector<std::string>& rArgs,
                               const char* szErrorPath, const char* szOutputPath) const {
    if (!freopen(szErrorPath, "w", stderr) || !freopen(szOutputPath, "w", stdout) ||
        chdir(rDirectory.c_str()) != 0) {
      _exit(126);
    }
    std::vector<std::string> rEnvironment;
    for (char** pp = environ; *pp; ++pp) {
      const std::string sEntry = *pp;
      const std::string sName = sEntry.substr(0, sEntry.find('='));
      bool bRemoved = m_rAdded.count(sName) > 0;
      for (const std::string& rRemoved : removed_variables()) {
        bRemoved = bRemoved || sName == rRemoved;
      }
      if (!bRemoved) {
        rEnvironment.push_back(sEntry);
      }
    }
    for (const auto& rVariable : m_rAdded) {
      rEnvironment.push_back(rVariable.first + "=" + rVariable.second);
    }
    std::vector<std::string> rArgv = {m_sProgram};
    rArgv.insert(rArgv.end(), rArgs.begin(), rArgs.end());
    execve(m_sProgram.c_str(), pointers(rArgv).data(), pointers(rEnvironment).data());
    _exit(127);
  }

  static std::vector<char*> pointers(std::vector<std::string>& rTexts) {
    std::vector<char*> rPointers;
    for (std::string& rText : rTexts) {
      rPointers.push_back(rText.data());
    }
    rPointers.push_back(nullptr);
    return rPointers;
  }

  std::map<std::string, std::string> m_rAdded;
  std::string m_sProgram = TIRAVO_BINARY;
};

#endif
