#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/endtoend/tiravoprocessc.h"
#include "tests/support/renderedframec.h"
#include "tests/support/tempdirectoryc.h"

namespace fs = std::filesystem;

namespace {

const std::string SOURCE_DIR = TIRAVO_SOURCE_DIR;
const std::string BUILD_DIR = TIRAVO_BUILD_DIR;
// A plug-in without classes and without an OpenGL call.
#define SOURCE_DIR_STUB TIRAVO_SOURCE_DIR "/tests/plugins/stubplugin.cpp"

std::string read_text(const std::string& rPath) {
  std::ifstream rIn(rPath);
  return std::string(std::istreambuf_iterator<char>(rIn), std::istreambuf_iterator<char>());
}

std::string shell_word(const std::string& rText) {
  return "'" + rText + "'";
}

// Every regular file under rRoot, relative to it.
std::set<std::string> files_under(const std::string& rRoot) {
  std::set<std::string> rFiles;
  for (const fs::directory_entry& rEntry : fs::recursive_directory_iterator(rRoot)) {
    if (rEntry.is_regular_file()) {
      rFiles.insert(fs::relative(rEntry.path(), rRoot).string());
    }
  }
  return rFiles;
}

// The names in rFolder of the source tree that end in rSuffix, as rInto/NAME.
void add_sources(std::set<std::string>* pFiles, const std::string& rFolder, const std::string& rSuffix,
                 const std::string& rInto) {
  for (const fs::directory_entry& rEntry : fs::directory_iterator(SOURCE_DIR + "/" + rFolder)) {
    const std::string sName = rEntry.path().filename().string();
    if (rEntry.is_regular_file() && sName.size() > rSuffix.size() &&
        sName.compare(sName.size() - rSuffix.size(), rSuffix.size(), rSuffix) == 0) {
      pFiles->insert(rInto + "/" + sName);
    }
  }
}

// The dynamic symbols a library defines.
std::set<std::string> exports_of(const std::string& rLibrary) {
  std::set<std::string> rSymbols;
  FILE* pList = popen(("nm -D --defined-only " + shell_word(rLibrary) + " | awk '{print $3}'").c_str(), "r");
  if (pList == nullptr) {
    return rSymbols;
  }
  char szSymbol[512];
  while (std::fscanf(pList, "%511s", szSymbol) == 1) {
    rSymbols.insert(szSymbol);
  }
  pclose(pList);
  return rSymbols;
}

// The installation and what the steps make, shared by the tests in order.
class InstallTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_pRoot = new TempDirectoryC();
    s_bInstalled = command("cmake --install", shell_word(TIRAVO_CMAKE) + " --install " + shell_word(BUILD_DIR) +
                                                  " --prefix " + shell_word(prefix()));
  }
  static void TearDownTestSuite() {
    delete s_pRoot;
    s_pRoot = nullptr;
  }

  static std::string path(const std::string& rName) { return s_pRoot->file(rName); }

  // The compiler line a plug-in author types, word for word, in rFolder;
  // rExtra goes before the pkg-config words.
  static bool build_by_hand(const std::string& rFolder, const std::string& rExtra) {
    fs::create_directory(path(rFolder));
    return command("the pkg-config line", "cd " + shell_word(path(rFolder)) + " && export PKG_CONFIG_PATH=" +
                                              shell_word(prefix() + "/lib/pkgconfig") +
                                              " && g++ -shared -fPIC -fvisibility=hidden -o pinwheel.so " +
                                              shell_word(SOURCE_DIR + "/examples/plugin/pinwheel.cpp") + rExtra +
                                              " $(pkg-config --cflags --libs tiravo-plugin)");
  }
  static std::string prefix() { return path("prefix"); }

  // Runs a shell command; false, with what it printed as a test failure, when
  // it fails.
  static bool command(const std::string& rWhat, const std::string& rCommand) {
    const std::string sLog = path("command.log");
    const int iStatus = std::system((rCommand + " > " + shell_word(sLog) + " 2>&1").c_str());
    const bool bDone = WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0;
    EXPECT_TRUE(bDone) << rWhat << ":\n" << rCommand << "\n" << read_text(sLog);
    s_sLastOutput = read_text(sLog);
    return bDone;
  }

  // tiravo (the installed one unless told otherwise) in an empty folder
  // of its own, TIRAVO_PLUGIN_PATH set to rPluginPath.
  static TiravoProcessC::ResultS play(const std::string& rProgram, const std::string& rFolder,
                                      const std::string& rPluginPath, const std::vector<std::string>& rArgs) {
    fs::create_directories(path(rFolder));
    TiravoProcessC rProcess;
    rProcess.set_program(rProgram);
    rProcess.set_variable("TIRAVO_PLUGIN_PATH", rPluginPath);
    rProcess.set_variable("XDG_DATA_HOME", path("no-user-data"));
    return rProcess.run(path(rFolder), rArgs);
  }

  static inline TempDirectoryC* s_pRoot = nullptr;
  static inline bool s_bInstalled = false;
  static inline std::string s_sLastOutput;
};

const std::set<std::string> FOUR_EXPORTS = {"_Z19get_classdesc_countv", "_Z15get_api_versionv", "_Z12get_dll_namev",
                                            "_Z13get_classdesci"};

// The pinwheel of examples/plugin/pinwheel.json: four blades of orange, each
// 45 degrees wide, turned from 0 degrees at the start to 45 at the end (2 s).
const RgbT ORANGE = {255, 128, 0};
const RgbT BLACK = {0, 0, 0};
constexpr int COLOUR_TOLERANCE = 2;

void expect_pinwheel(const std::string& rFrames) {
  // Points 30 pixels from the centre (80, 60), at 22.5 and 67.5 degrees.
  const RenderedFrameC rStart(rFrames, 0);
  ASSERT_EQ(160, rStart.width());
  expect_colour(ORANGE, rStart.at(107, 71), "on the first blade at the start", COLOUR_TOLERANCE);
  expect_colour(BLACK, rStart.at(91, 87), "between blades at the start", COLOUR_TOLERANCE);
  const RenderedFrameC rEnd(rFrames, 2);
  ASSERT_EQ(160, rEnd.width());
  expect_colour(BLACK, rEnd.at(107, 71), "the blade turned away", COLOUR_TOLERANCE);
  expect_colour(ORANGE, rEnd.at(91, 87), "the blade turned here", COLOUR_TOLERANCE);
  EXPECT_EQ(0, RenderedFrameC(rFrames, 3).width()) << "2 s at 1 frame per second: 3 frames";
}

bool same_pixels(const RenderedFrameC& rOne, const RenderedFrameC& rOther) {
  if (rOne.width() != rOther.width() || rOne.height() != rOther.height() || rOne.width() == 0) {
    return false;
  }
  for (int32_t y = 0; y < rOne.height(); ++y) {
    for (int32_t x = 0; x < rOne.width(); ++x) {
      if (rOne.at(x, y) != rOther.at(x, y)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

TEST_F(InstallTest, TheInstallHoldsProgramsPluginsSdkAndDocuments) {
  ASSERT_TRUE(s_bInstalled);
  std::set<std::string> rExpected = {
      "bin/tiravo",
      "bin/tiravo-doc",
      "lib/tiravo/plugins/opengl.so",
      "lib/tiravo/plugins/fliksel.so",
      "lib/tiravo/plugins/vernisk.so",
      "lib/libtiravo-sdk.a",
      "lib/cmake/tiravo/tiravo-config.cmake",
      "lib/cmake/tiravo/tiravo-config-version.cmake",
      "lib/cmake/tiravo/tiravo-plugin.cmake",
      "lib/cmake/tiravo/tiravo-plugin-exports.map",
      "lib/cmake/tiravo/tiravo-targets.cmake",
      "lib/cmake/tiravo/tiravo-targets-" TIRAVO_BUILD_TYPE ".cmake",
      "lib/pkgconfig/tiravo-plugin.pc",
      "include/tiravo/registry/classregistryc.h",
      "include/tiravo/player/hostinterfacec.h",
      "share/man/man1/tiravo.1.gz",
      "share/man/man1/tiravo-doc.1.gz",
      "share/doc/tiravo/copyright",
      "share/doc/tiravo/changelog.Debian.gz",
      "share/doc/tiravo-dev/copyright",
      "share/doc/tiravo-dev/changelog.Debian.gz",
      "share/doc/tiravo/README.md",
      "share/doc/tiravo/document-json.md",
      "share/doc/tiravo/plugin-sdk.md",
  };
  add_sources(&rExpected, "corelib", ".h", "include/tiravo/corelib");
  add_sources(&rExpected, "docfile", ".h", "include/tiravo/docfile");
  add_sources(&rExpected, "examples/plugin", "", "share/doc/tiravo/examples/plugin");
  EXPECT_EQ(files_under(prefix()), rExpected);
  for (const char* szPlugin : {"lib/tiravo/plugins/opengl.so", "lib/tiravo/plugins/fliksel.so",
                               "lib/tiravo/plugins/vernisk.so"}) {
    EXPECT_EQ(exports_of(prefix() + "/" + szPlugin), FOUR_EXPORTS) << szPlugin;
  }
  // Reproducible: neither the source nor the build folder is written into a
  // program, a plug-in or the SDK library, debug information included.
  for (const char* szFile : {"bin/tiravo", "bin/tiravo-doc", "lib/tiravo/plugins/opengl.so",
                             "lib/tiravo/plugins/fliksel.so", "lib/tiravo/plugins/vernisk.so", "lib/libtiravo-sdk.a"}) {
    const std::string sBytes = read_text(prefix() + "/" + szFile);
    ASSERT_FALSE(sBytes.empty()) << szFile;
    EXPECT_EQ(std::string::npos, sBytes.find(SOURCE_DIR)) << szFile << " names " << SOURCE_DIR;
    EXPECT_EQ(std::string::npos, sBytes.find(BUILD_DIR)) << szFile << " names " << BUILD_DIR;
  }
  // Hardened: bound at start-up (relro and now) and fortified.
  EXPECT_TRUE(command("readelf -d", "readelf -d " + shell_word(prefix() + "/bin/tiravo")));
  EXPECT_NE(std::string::npos, s_sLastOutput.find("BIND_NOW")) << s_sLastOutput;
  EXPECT_TRUE(command("readelf -l", "readelf -lW " + shell_word(prefix() + "/bin/tiravo")));
  EXPECT_NE(std::string::npos, s_sLastOutput.find("GNU_RELRO")) << s_sLastOutput;
  EXPECT_TRUE(command("readelf -s", "readelf -sW " + shell_word(prefix() + "/bin/tiravo")));
  EXPECT_NE(std::string::npos, s_sLastOutput.find("_chk@")) << "fortified calls";

  // Every installed header stands on its own and on the installed ones alone.
  std::string sEveryHeader;
  for (const std::string& rFile : files_under(prefix() + "/include/tiravo")) {
    sEveryHeader += "#include \"" + rFile + "\"\n";
  }
  std::ofstream(path("every-header.cpp")) << sEveryHeader;
  command("the installed headers", shell_word(TIRAVO_CXX) + " -std=c++17 -fsyntax-only -Wall -Werror -I " +
                                       shell_word(prefix() + "/include/tiravo") + " " + shell_word(path("every-header.cpp")));
}

TEST_F(InstallTest, TheExamplePluginBuildsAgainstTheInstallWithCMakeAndWithPkgConfig) {
  ASSERT_TRUE(s_bInstalled);
  ASSERT_TRUE(command("configuring examples/plugin",
                      shell_word(TIRAVO_CMAKE) + " -S " + shell_word(SOURCE_DIR + "/examples/plugin") + " -B " +
                          shell_word(path("cmake-build")) + " -G Ninja -DCMAKE_MAKE_PROGRAM=" + shell_word(TIRAVO_MAKE_PROGRAM) +
                          " -DCMAKE_CXX_COMPILER=" + shell_word(TIRAVO_CXX) + " -DCMAKE_PREFIX_PATH=" + shell_word(prefix())));
  ASSERT_TRUE(command("building examples/plugin", shell_word(TIRAVO_CMAKE) + " --build " + shell_word(path("cmake-build"))));
  EXPECT_EQ(exports_of(path("cmake-build/pinwheel.so")), FOUR_EXPORTS) << "hidden symbols but the four exports";

  ASSERT_TRUE(build_by_hand("pkgconfig-build", ""));
  EXPECT_EQ(exports_of(path("pkgconfig-build/pinwheel.so")), FOUR_EXPORTS) << "the pkg-config line";

  // INSTALL puts the module into the folder the installed player searches,
  // which the CMake package and the pkg-config file both name.
  const std::string sPluginDir = prefix() + "/lib/tiravo/plugins";
  EXPECT_TRUE(command("pkg-config plugindir", "PKG_CONFIG_PATH=" + shell_word(prefix() + "/lib/pkgconfig") +
                                                  " pkg-config --variable=plugindir tiravo-plugin"));
  EXPECT_EQ(fs::weakly_canonical(s_sLastOutput.substr(0, s_sLastOutput.find('\n'))).string(), sPluginDir);
  ASSERT_TRUE(command("installing examples/plugin", shell_word(TIRAVO_CMAKE) + " --install " + shell_word(path("cmake-build"))));
  ASSERT_TRUE(fs::is_regular_file(sPluginDir + "/pinwheel.so"));
  const TiravoProcessC::ResultS rList = play(prefix() + "/bin/tiravo", "installed-listing", "", {"--list-plugins"});
  EXPECT_NE(std::string::npos, rList.m_sOutput.find(sPluginDir + "/pinwheel.so\n  pinwheel.so - Example Pinwheel"))
      << rList.m_sOutput;
  // The later tests compare the installation with the packages.
  fs::remove(sPluginDir + "/pinwheel.so");
}

// The SDK brings OpenGL; a plug-in that makes no OpenGL call does not depend
// on it, with CMake or with the pkg-config line.
TEST_F(InstallTest, APluginWithoutOpenGLCallsLinksNoGLLibrary) {
  ASSERT_TRUE(s_bInstalled);
  fs::create_directories(path("nogl"));
  std::ofstream(path("nogl/CMakeLists.txt")) << "cmake_minimum_required(VERSION 3.25)\nproject(nogl LANGUAGES CXX)\n"
                                                "find_package(tiravo REQUIRED)\n"
                                                "tiravo_add_plugin(nogl " SOURCE_DIR_STUB ")\n"
                                                "target_compile_definitions(nogl PRIVATE STUB_API_VERSION=6)\n";
  ASSERT_TRUE(command("configuring a plug-in without OpenGL",
                      shell_word(TIRAVO_CMAKE) + " -S " + shell_word(path("nogl")) + " -B " + shell_word(path("nogl/build")) +
                          " -G Ninja -DCMAKE_MAKE_PROGRAM=" + shell_word(TIRAVO_MAKE_PROGRAM) + " -DCMAKE_CXX_COMPILER=" +
                          shell_word(TIRAVO_CXX) + " -DCMAKE_PREFIX_PATH=" + shell_word(prefix())));
  ASSERT_TRUE(command("building it", shell_word(TIRAVO_CMAKE) + " --build " + shell_word(path("nogl/build"))));
  ASSERT_TRUE(command("pkg-config build without OpenGL",
                      "cd " + shell_word(path("nogl")) + " && export PKG_CONFIG_PATH=" +
                          shell_word(prefix() + "/lib/pkgconfig") + " && g++ -shared -fPIC -fvisibility=hidden -DSTUB_API_VERSION=6 -o byhand.so " SOURCE_DIR_STUB
                          " $(pkg-config --cflags --libs tiravo-plugin)"));
  for (const char* szModule : {"nogl/build/nogl.so", "nogl/byhand.so", "cmake-build/pinwheel.so"}) {
    ASSERT_TRUE(command("readelf -d", "readelf -d " + shell_word(path(szModule))));
    const bool bDrawing = std::string(szModule) == "cmake-build/pinwheel.so";
    EXPECT_EQ(bDrawing, s_sLastOutput.find("[libOpenGL.so") != std::string::npos) << szModule << "\n" << s_sLastOutput;
    EXPECT_EQ(std::string::npos, s_sLastOutput.find("[libGL.so")) << szModule << "\n" << s_sLastOutput;
  }
}

TEST_F(InstallTest, TheExamplePluginExportsTheFourFunctionsAloneWithEachLinker) {
  ASSERT_TRUE(s_bInstalled);
  for (const char* szLinker : {"bfd", "gold", "lld"}) {
    const std::string sFolder = std::string("pkgconfig-") + szLinker;
    ASSERT_TRUE(build_by_hand(sFolder, std::string(" -fuse-ld=") + szLinker));
    EXPECT_EQ(exports_of(path(sFolder + "/pinwheel.so")), FOUR_EXPORTS) << "the pkg-config line with " << szLinker;
  }
  ASSERT_TRUE(command("configuring examples/plugin for lld",
                      shell_word(TIRAVO_CMAKE) + " -S " + shell_word(SOURCE_DIR + "/examples/plugin") + " -B " +
                          shell_word(path("cmake-lld")) + " -G Ninja -DCMAKE_MAKE_PROGRAM=" + shell_word(TIRAVO_MAKE_PROGRAM) +
                          " -DCMAKE_CXX_COMPILER=" + shell_word(TIRAVO_CXX) + " -DCMAKE_PREFIX_PATH=" + shell_word(prefix()) +
                          " -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld"));
  ASSERT_TRUE(command("building examples/plugin with lld", shell_word(TIRAVO_CMAKE) + " --build " + shell_word(path("cmake-lld"))));
  EXPECT_EQ(exports_of(path("cmake-lld/pinwheel.so")), FOUR_EXPORTS) << "CMake with lld";
}

TEST_F(InstallTest, TheInstalledPlayerPlaysTheExamplePluginFoundThroughThePathVariable) {
  ASSERT_TRUE(fs::exists(path("cmake-build/pinwheel.so")));
  const std::string sPlayer = prefix() + "/bin/tiravo";
  const std::string sPlugin = path("cmake-build");
  const TiravoProcessC::ResultS rList = play(sPlayer, "listing", sPlugin, {"--list-plugins"});
  ASSERT_EQ(0, rList.m_iExitCode) << rList.m_sError;
  EXPECT_NE(std::string::npos, rList.m_sOutput.find(sPlugin + "/pinwheel.so\n  pinwheel.so - Example Pinwheel Effect\n"
                                                               "  API version 0.6\n  effect         0x5e1c7a2b:0x9d40f316"))
      << rList.m_sOutput;
  EXPECT_NE(std::string::npos, rList.m_sOutput.find(prefix() + "/lib/tiravo/plugins/opengl.so\n")) << rList.m_sOutput;

  ASSERT_TRUE(command("the installed tiravo-doc", "cd " + shell_word(path("listing")) + " && TIRAVO_PLUGIN_PATH=" +
                                                      shell_word(sPlugin) + " " + shell_word(prefix() + "/bin/tiravo-doc") +
                                                      " build " + shell_word(SOURCE_DIR + "/examples/plugin/pinwheel.json") +
                                                      " -o " + shell_word(path("pinwheel.doc"))));
  const std::vector<std::string> rRender = {"--render", "frames", "--fps", "1", path("pinwheel.doc")};
  const TiravoProcessC::ResultS rResult = play(sPlayer, "cmake-play", sPlugin, rRender);
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  expect_pinwheel(path("cmake-play/frames"));

  ASSERT_TRUE(fs::exists(path("pkgconfig-build/pinwheel.so")));
  const TiravoProcessC::ResultS rByHand = play(sPlayer, "pkgconfig-play", path("pkgconfig-build"), rRender);
  ASSERT_EQ(0, rByHand.m_iExitCode) << rByHand.m_sError;
  expect_pinwheel(path("pkgconfig-play/frames"));
}

// The folder a user starts the player in holds what was downloaded there: a
// library's constructor runs as it loads, so none may be loaded from it.
TEST_F(InstallTest, TheInstalledPlayerLoadsNoLibraryOfTheFolderItIsStartedIn) {
  ASSERT_TRUE(s_bInstalled);
  fs::create_directories(path("downloads"));
  fs::copy_file(TIRAVO_MARK_PLUGIN, path("downloads/leavesmark.so"));
  TiravoProcessC rProcess;
  rProcess.set_program(prefix() + "/bin/tiravo");
  rProcess.set_variable("TIRAVO_PLUGIN_PATH", "");
  rProcess.set_variable("XDG_DATA_HOME", path("no-user-data"));
  rProcess.set_variable("TIRAVO_TEST_MARK", path("mark"));
  const TiravoProcessC::ResultS rList = rProcess.run(path("downloads"), {"--list-plugins"});
  ASSERT_EQ(0, rList.m_iExitCode) << rList.m_sError;
  EXPECT_FALSE(fs::exists(path("mark"))) << "leavesmark.so was loaded";
  EXPECT_EQ(std::string::npos, rList.m_sOutput.find("leavesmark")) << rList.m_sOutput;
  EXPECT_NE(std::string::npos, rList.m_sOutput.find(prefix() + "/lib/tiravo/plugins/fliksel.so\n")) << rList.m_sOutput;
  EXPECT_EQ(rList.m_sError.find("No plug-ins from plugins (No such file or directory), nor from the current directory " +
                                path("downloads") + ", which is not the player's folder\n"),
            0u)
      << rList.m_sError;
  EXPECT_EQ(std::string::npos, rList.m_sError.find("leavesmark")) << rList.m_sError;
}

TEST_F(InstallTest, TheDebianPackagesHoldTheInstallPassLintianAndTheirPlayerPlaysTheExamplePresentation) {
  ASSERT_TRUE(s_bInstalled);
  ASSERT_TRUE(command("cpack", "cd " + shell_word(BUILD_DIR) + " && " + shell_word(TIRAVO_CPACK) + " -G DEB -B " +
                                   shell_word(path("package"))));
  const std::string sVersion = TIRAVO_VERSION "-1";
  const std::string sRuntime = path("package/tiravo_" + sVersion + "_amd64.deb");
  const std::string sDevelopment = path("package/tiravo-dev_" + sVersion + "_amd64.deb");
  ASSERT_TRUE(fs::exists(sRuntime));
  ASSERT_TRUE(fs::exists(sDevelopment));
  ASSERT_TRUE(command("dpkg-deb -f", shell_word(TIRAVO_DPKG_DEB) + " -f " + shell_word(sRuntime) + " Depends"));
  for (const char* szLibrary : {"libsdl2", "libavcodec", "libavformat", "libswscale", "libpng", "libopengl0"}) {
    EXPECT_NE(std::string::npos, s_sLastOutput.find(szLibrary)) << s_sLastOutput;
  }
  ASSERT_TRUE(command("dpkg-deb -f", shell_word(TIRAVO_DPKG_DEB) + " -f " + shell_word(sDevelopment) + " Depends"));
  EXPECT_NE(std::string::npos, s_sLastOutput.find("tiravo (= " + sVersion + ")")) << s_sLastOutput;
  EXPECT_NE(std::string::npos, s_sLastOutput.find("libopengl-dev")) << s_sLastOutput;

  // Both install together into one system (a root of its own, where the
  // libraries they depend on are not recorded, hence --force-depends).
  const std::string sSystem = path("system");
  fs::create_directories(sSystem + "/var/lib/dpkg/updates");
  fs::create_directories(sSystem + "/var/lib/dpkg/info");
  std::ofstream(sSystem + "/var/lib/dpkg/status").flush();
  EXPECT_TRUE(command("dpkg -i", "dpkg --root=" + shell_word(sSystem) + " --log=/dev/null --force-not-root " +
                                     "--force-depends -i " + shell_word(sRuntime) + " " +
                                     shell_word(sDevelopment)));
  EXPECT_TRUE(command("dpkg -s", "dpkg --root=" + shell_word(sSystem) + " -s tiravo tiravo-dev"));
  EXPECT_EQ(2u, [](const std::string& rText) {
    size_t uCount = 0;
    for (size_t u = rText.find("Status: install ok installed"); u != std::string::npos;
         u = rText.find("Status: install ok installed", u + 1)) {
      ++uCount;
    }
    return uCount;
  }(s_sLastOutput)) << s_sLastOutput;

  // A maintainer's check: no errors. Its warnings are shown in the log.
  command("lintian", "lintian --tag-display-limit 0 " + shell_word(sRuntime) + " " + shell_word(sDevelopment));
  EXPECT_EQ(std::string::npos, ("\n" + s_sLastOutput).find("\nE: ")) << s_sLastOutput;
  std::cout << "lintian:\n" << s_sLastOutput;

  for (const std::string& rPackage : {sRuntime, sDevelopment}) {
    ASSERT_TRUE(command("dpkg-deb -x", shell_word(TIRAVO_DPKG_DEB) + " -x " + shell_word(rPackage) + " " + shell_word(path("root"))));
  }
  EXPECT_EQ(files_under(path("root/usr")), files_under(prefix()));

  // Moved out of /usr, the player still finds its own plug-ins.
  const std::vector<std::string> rRender = {"--render", "frames", "--fps", "1", "--size", "160x90",
                                            BUILD_DIR + "/examples/showcase.doc"};
  const TiravoProcessC::ResultS rPackaged = play(path("root/usr/bin/tiravo"), "packaged-play", "", rRender);
  ASSERT_EQ(0, rPackaged.m_iExitCode) << rPackaged.m_sError;
  std::vector<std::string> rReference = rRender;
  rReference.insert(rReference.begin(), {"--plugins", BUILD_DIR + "/plugins"});
  const TiravoProcessC::ResultS rBuilt = play(TIRAVO_BINARY, "built-play", "", rReference);
  ASSERT_EQ(0, rBuilt.m_iExitCode) << rBuilt.m_sError;
  // 30 s at one frame per second: frames 0 to 30.
  EXPECT_EQ(0, RenderedFrameC(path("packaged-play/frames"), 31).width());
  for (int32_t i32Frame : {0, 10, 20, 30}) {
    EXPECT_TRUE(same_pixels(RenderedFrameC(path("packaged-play/frames"), i32Frame),
                            RenderedFrameC(path("built-play/frames"), i32Frame)))
        << "frame " << i32Frame;
  }
}
