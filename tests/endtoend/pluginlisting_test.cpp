#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/endtoend/presentationtestc.h"
#include "tests/support/renderedframec.h"

namespace {

const std::string BAD_DIRECTORY = TIRAVO_TEST_PLUGINS_BAD;

const char* const TESTRECT_ENTRY =
    "plugins/testrect.so\n"
    "  testrect.so - Test Rectangle\n"
    "  API version 0.6\n"
    "  effect         0x7e57aec7:0x00000001  super 0x01000000  Test Rectangle: A filled rectangle for tests\n";

// tiravo --list-plugins, and playing with the libraries that the search finds.
class PluginListingTest : public PresentationTestC {
 protected:
  TiravoProcessC::ResultS list(const std::vector<std::string>& rOptions = {}) {
    std::vector<std::string> rArgs = {"--list-plugins"};
    rArgs.insert(rArgs.end(), rOptions.begin(), rOptions.end());
    return m_rProcess.run(m_rDirectory.path(), rArgs);
  }

  // A folder beside "plugins" with a copy of testrect.so under another name
  // and a link to it under its own, which the search must skip.
  std::string make_extra_folder() {
    const std::string sFolder = m_rDirectory.file("extra");
    std::filesystem::create_directory(sFolder);
    std::filesystem::copy_file(TIRAVO_TESTRECT_PLUGIN, sFolder + "/again.so");
    std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, sFolder + "/testrect.so");
    return sFolder;
  }
};

std::vector<std::string> listed_paths(const std::string& rListing) {
  std::vector<std::string> rPaths;
  std::istringstream rIn(rListing);
  for (std::string sLine; std::getline(rIn, sLine);) {
    if (!sLine.empty() && sLine[0] != ' ') {
      rPaths.push_back(sLine);
    }
  }
  return rPaths;
}

}  // namespace

TEST_F(PluginListingTest, ListsLibrariesClassesAndRefusalsInSearchOrder) {
  const std::string sExtra = make_extra_folder();
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", BAD_DIRECTORY + "::" + sExtra);
  const TiravoProcessC::ResultS rResult = list();
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const std::string& sOut = rResult.m_sOutput;

  EXPECT_NE(sOut.find(TESTRECT_ENTRY), std::string::npos) << sOut;
  EXPECT_NE(sOut.find("plugins/opengl.so\n  opengl.so - OpenGL Device Driver\n  API version 0.6\n"
                      "  device driver  0x00000000:0x00002710  super 0x03000001  OpenGL Device Driver: "),
            std::string::npos)
      << sOut;
  EXPECT_NE(sOut.find(BAD_DIRECTORY + "/api5.so\n  API version 0.5\n  refused: the API version is not 0.6\n"),
            std::string::npos)
      << sOut;
  EXPECT_NE(sOut.find(BAD_DIRECTORY + "/nodllname.so\n  refused: does not export get_dll_name\n"), std::string::npos)
      << sOut;
  EXPECT_NE(sOut.find(sExtra + "/testrect.so\n  refused: a library of this name was loaded from plugins/testrect.so\n"),
            std::string::npos)
      << sOut;
  EXPECT_NE(sOut.find(sExtra + "/again.so\n  testrect.so - Test Rectangle\n  API version 0.6\n"
                               "  effect         0x7e57aec7:0x00000001  super 0x01000000  Test Rectangle: A filled "
                               "rectangle for tests (not used: testrect.so has it first)\n"),
            std::string::npos)
      << sOut;

  // Folder by folder; within one, in the order of the names.
  const std::vector<std::string> rPaths = listed_paths(sOut);
  EXPECT_EQ(rPaths, (std::vector<std::string>{"plugins/opengl.so", "plugins/testrect.so", BAD_DIRECTORY + "/api1_6.so",
                                              BAD_DIRECTORY + "/api5.so", BAD_DIRECTORY + "/nodllname.so",
                                              BAD_DIRECTORY + "/notplugin.so", BAD_DIRECTORY + "/plainnames.so",
                                              sExtra + "/again.so", sExtra + "/testrect.so"}))
      << sOut;
}

TEST_F(PluginListingTest, TheUsersOwnFolderComesAfterThePathVariable) {
  const std::string sUserFolder = m_rDirectory.file("data/tiravo/plugins");
  std::filesystem::create_directories(sUserFolder);
  std::filesystem::copy_file(TIRAVO_TESTRECT_PLUGIN, sUserFolder + "/mine.so");
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", BAD_DIRECTORY);
  const TiravoProcessC::ResultS rResult = list();
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const std::vector<std::string> rPaths = listed_paths(rResult.m_sOutput);
  ASSERT_EQ(rPaths.size(), 2u + 5u + 1u) << rResult.m_sOutput;
  EXPECT_EQ(rPaths.back(), sUserFolder + "/mine.so");
}

TEST_F(PluginListingTest, FindingNothingSaysWhereItLookedAndFails) {
  const std::string sEmpty = m_rDirectory.file("empty");
  std::filesystem::create_directory(sEmpty);
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", m_rDirectory.file("none") + ":" + sEmpty);
  const TiravoProcessC::ResultS rResult = m_rProcess.run(sEmpty, {"--list-plugins"});
  EXPECT_EQ(1, rResult.m_iExitCode);
  EXPECT_EQ("", rResult.m_sOutput);
  EXPECT_NE(rResult.m_sError.find("tiravo: no plug-in libraries found in plugins, " + m_rDirectory.file("none") + ", " +
                                  sEmpty + ", " + m_rDirectory.file("data/tiravo/plugins") + " and /"),
            std::string::npos)
      << rResult.m_sError;
}

TEST_F(PluginListingTest, APluginsFolderThatCannotBeReadEndsTheRunNamingIt) {
  const std::string sMissing = m_rDirectory.file("no-such-folder");
  const std::string sDocument = save();
  for (const std::vector<std::string>& rArgs : {std::vector<std::string>{"--list-plugins", "--plugins", sMissing},
                                                std::vector<std::string>{"--plugins", sMissing, "--render", "frames",
                                                                         sDocument}}) {
    const TiravoProcessC::ResultS rResult = m_rProcess.run(m_rDirectory.path(), rArgs);
    EXPECT_EQ(2, rResult.m_iExitCode);
    EXPECT_EQ(rResult.m_sError, "tiravo: cannot read the plug-in folder " + sMissing + ": No such file or directory\n");
    EXPECT_EQ("", rResult.m_sOutput);
  }
  EXPECT_FALSE(std::filesystem::exists(m_rDirectory.file("frames")));
}

// A library in the folder the player is started from runs its code when it
// is loaded, before any export is checked; the mark it leaves shows whether
// it was.
TEST_F(PluginListingTest, LibrariesOfTheCurrentDirectoryLoadOnlyWhenItIsThePlayersOwnFolder) {
  const std::string sDownloads = m_rDirectory.file("downloads");
  std::filesystem::create_directory(sDownloads);
  std::filesystem::copy_file(TIRAVO_MARK_PLUGIN, sDownloads + "/leavesmark.so");
  const std::string sMark = m_rDirectory.file("mark");
  m_rProcess.set_variable("TIRAVO_TEST_MARK", sMark);
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", plugin_directory());
  const TiravoProcessC::ResultS rElsewhere = m_rProcess.run(sDownloads, {"--list-plugins"});
  EXPECT_EQ(0, rElsewhere.m_iExitCode) << rElsewhere.m_sError;
  EXPECT_FALSE(std::filesystem::exists(sMark));
  EXPECT_EQ(rElsewhere.m_sOutput.find("leavesmark"), std::string::npos) << rElsewhere.m_sOutput;
  EXPECT_EQ(rElsewhere.m_sError.find("No plug-ins from plugins (No such file or directory), nor from the current "
                                     "directory " +
                                     sDownloads + ", which is not the player's folder\nLoading plugin opengl.so"),
            0u)
      << rElsewhere.m_sError;

  // The portable layout: the player and its libraries side by side.
  const std::string sPortable = m_rDirectory.file("portable");
  std::filesystem::create_directory(sPortable);
  std::filesystem::copy_file(TIRAVO_BINARY, sPortable + "/tiravo");
  std::filesystem::copy_file(TIRAVO_MARK_PLUGIN, sPortable + "/leavesmark.so");
  std::filesystem::copy_file(TIRAVO_TESTRECT_PLUGIN, sPortable + "/testrect.so");
  TiravoProcessC rPortable = m_rProcess;
  rPortable.set_program(sPortable + "/tiravo");
  rPortable.set_variable("TIRAVO_PLUGIN_PATH", "");
  const TiravoProcessC::ResultS rBeside = rPortable.run(sPortable, {"--list-plugins"});
  EXPECT_EQ(0, rBeside.m_iExitCode) << rBeside.m_sError;
  EXPECT_TRUE(std::filesystem::exists(sMark));
  EXPECT_EQ(listed_paths(rBeside.m_sOutput), (std::vector<std::string>{"./leavesmark.so", "./testrect.so"}))
      << rBeside.m_sOutput;
}

TEST_F(PluginListingTest, ThePluginsOptionListsThatFolderAlone) {
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", make_extra_folder());
  const TiravoProcessC::ResultS rResult = list({"--plugins", BAD_DIRECTORY});
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const std::vector<std::string> rPaths = listed_paths(rResult.m_sOutput);
  EXPECT_EQ(rPaths.size(), 5u) << rResult.m_sOutput;
  for (const std::string& rPath : rPaths) {
    EXPECT_EQ(rPath.rfind(BAD_DIRECTORY + "/", 0), 0u) << rPath;
  }
}

TEST_F(PluginListingTest, PlaysWithLibrariesFoundThroughThePathVariableInAnEmptyFolder) {
  add_rect(add_layer(0, 10000), Vector2C(8, 8), Vector2C(32, 32), RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
  const std::string sDocument = save();
  const std::string sEmpty = m_rDirectory.file("empty");
  std::filesystem::create_directory(sEmpty);
  m_rProcess.set_variable("TIRAVO_PLUGIN_PATH", plugin_directory());
  const TiravoProcessC::ResultS rResult = m_rProcess.run(sEmpty, {"--render", "frames", "--fps", "1", sDocument});
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const RenderedFrameC rFrame(sEmpty + "/frames", 0);
  ASSERT_EQ(LAYOUT_WIDTH, rFrame.width());
  expect_colour({255, 0, 0}, rFrame.at(20, 20), "the rectangle", 2);
  expect_colour({0, 0, 0}, rFrame.at(40, 40), "the background", 2);
}
