#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/doc/doctoolc.h"

namespace {

// tiravo-doc run in a folder without "plugins", where only the search
// can find the libraries.
class ToolPluginSearchTest : public DocToolTestC {
 protected:
  static void SetUpTestSuite() {
    DocToolTestC::SetUpTestSuite();
    std::filesystem::create_directory(path("elsewhere"));
    // A library lying in the folder is not one the tool loads.
    std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, path("elsewhere/testrect.so"));
    write_text(path("rect.json"), R"({"scene": {"layers": [{"effects": [{"class": "Test Rectangle"}]}]}})");
  }
};

TEST_F(ToolPluginSearchTest, ThePathVariableNamesTheFoldersWithoutPlugins) {
  DocRunS rRun = run_tool_in("elsewhere", "TIRAVO_PLUGIN_PATH=/nonexistent:../plugins-without-fliksel",
                             "build ../rect.json -o rect.doc");
  EXPECT_EQ(0, rRun.m_iExitCode) << rRun.m_sErr;
  EXPECT_EQ("", rRun.m_sErr);
  EXPECT_TRUE(std::filesystem::exists(path("elsewhere/rect.doc")));
}

TEST_F(ToolPluginSearchTest, WithoutAnyLibraryTheWarningNamesWhereItLooked) {
  DocRunS rRun = run_tool_in("elsewhere", "", "build ../rect.json -o norect.doc");
  EXPECT_EQ(1, rRun.m_iExitCode);
  EXPECT_EQ(0u, rRun.m_sErr.find("tiravo-doc: warning: no plug-in libraries in plugins, /")) << rRun.m_sErr;
  EXPECT_NE(std::string::npos, rRun.m_sErr.find("/tiravo/plugins and /")) << "the user's folder" << rRun.m_sErr;
  EXPECT_NE(std::string::npos, rRun.m_sErr.find("/lib/tiravo/plugins\n")) << rRun.m_sErr;
  EXPECT_NE(std::string::npos, rRun.m_sErr.find("no plug-in provides the class \"Test Rectangle\"")) << rRun.m_sErr;
}

}  // namespace
