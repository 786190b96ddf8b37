#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "corelib/dataobjectc.h"
#include "registry/classregistryc.h"
#include "registry/pluginsearch.h"
#include "tests/plugins/testrect.h"
#include "tests/support/tempdirectoryc.h"

namespace {

const std::string GOOD_DIRECTORY = TIRAVO_TEST_PLUGINS_GOOD;
const std::string BAD_DIRECTORY = TIRAVO_TEST_PLUGINS_BAD;

// A working directory with "plugins" and two more folders, each holding
// copies of testrect.so under names of the test's choice. Copies, not links:
// the loader would make one library of links to one file.
class PluginSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(getcwd(m_szStart, sizeof(m_szStart)));
    ASSERT_EQ(chdir(m_rDirectory.path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(m_szStart), 0); }

  void add_library(const std::string& rFolder, const std::string& rFileName) {
    std::filesystem::create_directories(rFolder);
    std::filesystem::copy_file(GOOD_DIRECTORY + "/testrect.so", rFolder + "/" + rFileName);
  }

  // Loads the folders as the player's search does, quietly.
  void search(ClassRegistryC* pRegistry, const std::vector<std::string>& rFolders,
              LocalFolderE eLocal = LOCAL_FOLDER_AS_SCANNED) {
    testing::internal::CaptureStderr();
    load_plugin_folders(pRegistry, rFolders, eLocal);
    m_sDiagnostics = testing::internal::GetCapturedStderr();
  }

  TempDirectoryC m_rDirectory;
  std::string m_sDiagnostics;

 private:
  char m_szStart[PATH_MAX] = {};
};

std::vector<std::string> paths_of(const ClassRegistryC& rRegistry) {
  std::vector<std::string> rPaths;
  for (const PluginFileS& rFile : rRegistry.get_plugin_files()) {
    rPaths.push_back(rFile.m_sPath + (rFile.m_pLibrary ? "" : " refused: " + rFile.m_sRefusal));
  }
  return rPaths;
}

}  // namespace

TEST(PluginSearchFolders, LocalThenThePathVariableInOrderThenTheUsersThenTheInstalledFolder) {
  EXPECT_EQ(plugin_search_folders(nullptr, "", "/opt/t/lib/tiravo/plugins"),
            (std::vector<std::string>{"plugins", "/opt/t/lib/tiravo/plugins"}));
  EXPECT_EQ(plugin_search_folders("/a:rel/b::/c:", "/home/u/.local/share/tiravo/plugins", "/inst"),
            (std::vector<std::string>{"plugins", "/a", "rel/b", "/c", "/home/u/.local/share/tiravo/plugins", "/inst"}));
  EXPECT_EQ(plugin_search_folders(":", "", ""), (std::vector<std::string>{"plugins"}));
  EXPECT_EQ(folder_list_text({"plugins", "/a", "/inst"}), "plugins, /a and /inst");
  EXPECT_EQ(folder_list_text({"plugins"}), "plugins");
}

TEST(PluginSearchFolders, TheUsersFolderIsInTheDataFolderAnAbsoluteXdgDataHomeOrTheHomes) {
  EXPECT_EQ(user_plugin_folder(nullptr, "/home/u"), "/home/u/.local/share/tiravo/plugins");
  EXPECT_EQ(user_plugin_folder("", "/home/u/"), "/home/u/.local/share/tiravo/plugins");
  EXPECT_EQ(user_plugin_folder("/data/u", "/home/u"), "/data/u/tiravo/plugins");
  EXPECT_EQ(user_plugin_folder("relative/data", "/home/u"), "/home/u/.local/share/tiravo/plugins")
      << "a relative XDG_DATA_HOME is ignored";
  EXPECT_EQ(user_plugin_folder(nullptr, nullptr), "");
  EXPECT_EQ(user_plugin_folder("relative", ""), "");
}

TEST(PluginSearchFolders, TheInstalledFolderLiesBesideTheProgramsFolder) {
  char szProgram[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", szProgram, sizeof(szProgram) - 1), 0);
  const std::filesystem::path rProgramFolder = std::filesystem::path(szProgram).parent_path();
  EXPECT_EQ(installed_plugin_folder(), (rProgramFolder.parent_path() / "lib/tiravo/plugins").string());
}

TEST_F(PluginSearchTest, EarlierFoldersWinAndAFileNameIsLoadedOnce) {
  add_library("plugins", "rect.so");
  add_library("path1", "rect.so");
  add_library("path2", "pathrect.so");
  add_library("installed", "installedrect.so");
  const std::string sInstalled = m_rDirectory.file("installed");
  ClassRegistryC rRegistry;
  search(&rRegistry, {"plugins", "no-such-folder", "path1", "path2", sInstalled});

  EXPECT_EQ(paths_of(rRegistry),
            (std::vector<std::string>{"plugins/rect.so",
                                      "path1/rect.so refused: a library of this name was loaded from plugins/rect.so",
                                      "path2/pathrect.so", sInstalled + "/installedrect.so"}));
  EXPECT_NE(m_sDiagnostics.find("Skipping plugin rect.so: loaded from plugins/rect.so\n"), std::string::npos);
  ASSERT_EQ(rRegistry.get_class_count(), 3);
  EXPECT_STREQ(rRegistry.get_library_name(0), "rect.so");
  EXPECT_EQ(rRegistry.find_class(TESTRECT_CLASS), rRegistry.get_class(0));
  EXPECT_NE(rRegistry.get_class(0), rRegistry.get_class(1)) << "copies are separate libraries";
  DataObjectC* pObject = rRegistry.create_object(TESTRECT_CLASS);
  ASSERT_NE(pObject, nullptr);
  pObject->release();
}

TEST_F(PluginSearchTest, WithoutPluginsNeitherThePlayerNorTheToolLoadsFromACurrentDirectoryOfNoProgram) {
  add_library(".", "here.so");
  add_library("path", "pathrect.so");
  {
    ClassRegistryC rRegistry;
    search(&rRegistry, {"plugins", "path"});
    EXPECT_EQ(paths_of(rRegistry), (std::vector<std::string>{"path/pathrect.so"}));
    EXPECT_EQ(m_sDiagnostics.find("No plug-ins from plugins (No such file or directory), nor from the current "
                                  "directory " +
                                  std::filesystem::current_path().string() + ", which is not the player's folder\n"),
              0u)
        << m_sDiagnostics;
  }
  ClassRegistryC rRegistry;
  search(&rRegistry, {"plugins", "path"}, LOCAL_FOLDER_IF_PRESENT);
  EXPECT_EQ(paths_of(rRegistry), (std::vector<std::string>{"path/pathrect.so"}));
}

// Not the order the directory happens to list them in: of two libraries with
// one class, the one whose name sorts first provides it.
TEST_F(PluginSearchTest, AFoldersLibrariesLoadInNameOrder) {
  for (const char* szName : {"m.so", "B.so", "z.so", "a.so", "b.so"}) {
    add_library("plugins", szName);
  }
  ClassRegistryC rRegistry;
  search(&rRegistry, {"plugins"});
  EXPECT_EQ(paths_of(rRegistry), (std::vector<std::string>{"plugins/B.so", "plugins/a.so", "plugins/b.so",
                                                           "plugins/m.so", "plugins/z.so"}));
  EXPECT_STREQ(rRegistry.get_library_name(0), "B.so");
  EXPECT_EQ(rRegistry.find_class(TESTRECT_CLASS), rRegistry.get_class(0));
}

// Without read permission a folder cannot be listed; root reads any, so
// there the case cannot be made.
// The same refusal for any user: a "folder" that is a file.
TEST_F(PluginSearchTest, AFolderThatIsAFileLoadsNothingAndSaysWhy) {
  add_library("plugins", "rect.so");
  std::ofstream("notafolder") << "plain file";
  ClassRegistryC rRegistry;
  search(&rRegistry, {"notafolder"});
  EXPECT_TRUE(rRegistry.get_plugin_files().empty());
  EXPECT_NE(m_sDiagnostics.find("No plug-ins from notafolder (not a directory)"), std::string::npos) << m_sDiagnostics;
}

TEST_F(PluginSearchTest, AFolderThatCannotBeReadLoadsNothingAndSaysWhy) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "root reads every folder";
  }
  add_library("locked", "rect.so");
  std::filesystem::permissions("locked", std::filesystem::perms::owner_write);
  ClassRegistryC rRegistry;
  search(&rRegistry, {"plugins", "locked"});
  std::filesystem::permissions("locked", std::filesystem::perms::owner_all);
  EXPECT_TRUE(rRegistry.get_plugin_files().empty());
  EXPECT_NE(m_sDiagnostics.find("No plug-ins from locked (Permission denied)"), std::string::npos) << m_sDiagnostics;
}

TEST_F(PluginSearchTest, RefusedLibrariesKeepTheirReason) {
  ClassRegistryC rRegistry;
  search(&rRegistry, {BAD_DIRECTORY});
  std::map<std::string, std::string> rReasons;
  for (const PluginFileS& rFile : rRegistry.get_plugin_files()) {
    EXPECT_EQ(rFile.m_sPath, BAD_DIRECTORY + "/" + rFile.m_sFileName);
    const std::string sVersion = rFile.m_bVersionKnown ? " @" + std::to_string(rFile.m_i32ApiVersion) : "";
    rReasons[rFile.m_sFileName] = rFile.m_sRefusal + sVersion;
  }
  EXPECT_EQ(rReasons, (std::map<std::string, std::string>{
                          {"api5.so", "the API version is not 0.6 @5"},
                          {"api1_6.so", "the API version is not 0.6 @65542"},
                          {"nodllname.so", "does not export get_dll_name"},
                          {"notplugin.so", "does not export get_classdesc_count"},
                          {"plainnames.so", " @6"},
                      }));
}

TEST_F(PluginSearchTest, AFileThatIsNoLibraryIsRefusedWithTheLoadersReason) {
  std::filesystem::create_directory("plugins");
  std::ofstream("plugins/broken.so") << "not a library";
  ClassRegistryC rRegistry;
  search(&rRegistry, {"plugins"});
  ASSERT_EQ(rRegistry.get_plugin_files().size(), 1u);
  EXPECT_NE(rRegistry.get_plugin_files()[0].m_sRefusal.find("broken.so"), std::string::npos)
      << rRegistry.get_plugin_files()[0].m_sRefusal;
  EXPECT_EQ(m_sDiagnostics, "Loading plugin broken.so...\nFailed.\n");
}
