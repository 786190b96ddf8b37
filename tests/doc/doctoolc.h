#ifndef TESTS_DOC_DOCTOOLC_H
#define TESTS_DOC_DOCTOOLC_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "description/jsonvalues.h"
#include "tests/support/tempdirectoryc.h"

// What one run of the tiravo-doc program gave.
struct DocRunS {
  int m_iExitCode = -1;
  std::string m_sOut;
  std::string m_sErr;
};

inline std::string read_text(const std::string& rPath) {
  std::ifstream rIn(rPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(rIn), std::istreambuf_iterator<char>());
}

inline void write_text(const std::string& rPath, const std::string& rText) {
  std::ofstream(rPath, std::ios::binary) << rText;
}

// A working directory with two plug-in directories (with and without
// fliksel.so) and two 32 × 32 videos of 5 frames at 5 per second: raw BGR
// and motion JPEG.
class DocToolTestC : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_pDirectory = new TempDirectoryC();
    make_plugins("plugins", {FLIKSEL_PLUGIN, TIRAVO_OPENGL_PLUGIN, TIRAVO_TESTRECT_PLUGIN});
    make_plugins("plugins-without-fliksel", {TIRAVO_OPENGL_PLUGIN, TIRAVO_TESTRECT_PLUGIN});
    make_video("raw.avi", "-c:v rawvideo -pix_fmt bgr24");
    make_video("mjpeg.avi", "-c:v mjpeg");
  }
  static void TearDownTestSuite() {
    delete s_pDirectory;
    s_pDirectory = nullptr;
  }

  static std::string path(const std::string& rName) { return s_pDirectory->file(rName); }

  // Runs tiravo-doc in the working directory with the given arguments.
  static DocRunS run_tool(const std::string& rArguments) { return run_tool_in(".", "", rArguments); }

  // Runs tiravo-doc in a folder of the working directory, with variables
  // ("NAME=value ...") added to its environment; the user's own plug-in
  // folder is one that does not exist.
  static DocRunS run_tool_in(const std::string& rFolder, const std::string& rVariables,
                             const std::string& rArguments) {
    DocRunS rRun;
    const std::string sCommand = "cd '" + s_pDirectory->path() + "/" + rFolder +
                                 "' && env -u TIRAVO_PLUGIN_PATH XDG_DATA_HOME='" + path("no-user-data") + "' " +
                                 rVariables + " '" TIRAVO_DOC_BINARY "' " + rArguments + " > '" + path("tool.out") +
                                 "' 2> '" + path("tool.err") + "'";
    const int iStatus = std::system(sCommand.c_str());
    rRun.m_iExitCode = WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
    rRun.m_sOut = read_text(path("tool.out"));
    rRun.m_sErr = read_text(path("tool.err"));
    return rRun;
  }

  // dump DOCUMENT, expecting success; the JSON it printed.
  static JsonT dump(const std::string& rDocument, const std::string& rOptions = "") {
    DocRunS rRun = run_tool("dump " + rDocument + " " + rOptions);
    EXPECT_EQ(0, rRun.m_iExitCode) << rRun.m_sErr;
    return JsonT::parse(rRun.m_sOut);
  }

  static DocRunS build(const std::string& rDescription, const std::string& rDocument,
                       const std::string& rOptions = "") {
    return run_tool("build " + rDescription + " -o " + rDocument + " " + rOptions);
  }

 private:
  static void make_plugins(const std::string& rName, const std::vector<std::string>& rLibraries) {
    std::filesystem::create_directory(path(rName));
    for (const std::string& rLibrary : rLibraries) {
      const std::string sFileName = std::filesystem::path(rLibrary).filename().string();
      std::filesystem::create_symlink(rLibrary, path(rName) + "/" + sFileName);
    }
  }
  static void make_video(const std::string& rName, const std::string& rCodec) {
    const std::string sCommand = std::string(TIRAVO_FFMPEG) +
                                 " -nostdin -loglevel error -y -f lavfi -i testsrc=size=32x32:rate=5 -frames:v 5 " +
                                 rCodec + " '" + path(rName) + "'";
    ASSERT_EQ(0, std::system(sCommand.c_str()));
  }

  static inline TempDirectoryC* s_pDirectory = nullptr;
};

#endif
