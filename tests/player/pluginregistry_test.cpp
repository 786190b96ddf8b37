#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <map>
#include <string>

#include "corelib/effectbasec.h"
#include "corelib/pluginexports.h"
#include "registry/classregistryc.h"
#include "tests/plugins/testrect.h"

namespace {

// Where the build put the test plug-in libraries: testrect.so alone, and the
// libraries the registry must refuse beside one it must accept.
const std::string GOOD_DIRECTORY = TIRAVO_TEST_PLUGINS_GOOD;
const std::string BAD_DIRECTORY = TIRAVO_TEST_PLUGINS_BAD;

std::string current_directory() {
  char szPath[PATH_MAX];
  return getcwd(szPath, sizeof(szPath)) ? std::string(szPath) : std::string();
}

// Whether the process has the library loaded; asks without loading it.
bool library_is_loaded(const std::string& rPath) {
  void* pHandle = dlopen(rPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!pHandle) {
    return false;
  }
  dlclose(pHandle);
  return true;
}

const std::map<std::string, std::string> BAD_DIRECTORY_DIAGNOSTICS = {
    {"api5.so", "Loading plugin api5.so...\nAPI version: 0.5\nFailed.\n"},
    {"api1_6.so", "Loading plugin api1_6.so...\nAPI version: 1.6\nFailed.\n"},
    {"nodllname.so", "Loading plugin nodllname.so...\nDLL_IFACE: class_dll_name failed\nFailed.\n"},
    {"notplugin.so", "Loading plugin notplugin.so...\nDLL_IFACE: class_desc_count failed\nFailed.\n"},
    {"plainnames.so", "Loading plugin plainnames.so...\nAPI version: 0.6\n1 classes\n * Plain Class\n"},
};

// The diagnostics of the libraries one after the other, in the order of
// their file names, which is the map's.
std::string in_name_order(const std::map<std::string, std::string>& rBlocks) {
  std::string sText;
  for (const auto& rBlock : rBlocks) {
    sText += rBlock.second;
  }
  return sText;
}

}  // namespace

TEST(PluginRegistryTest, RefusedLibrariesAreReportedAndUnloadedPlainNamesAreAccepted) {
  const std::string& sBad = BAD_DIRECTORY;
  const std::string sStart = current_directory();
  {
    ClassRegistryC rRegistry;
    testing::internal::CaptureStderr();
    rRegistry.load_plugins(sBad.c_str());
    const std::string sOutput = testing::internal::GetCapturedStderr();

    EXPECT_EQ(sOutput, in_name_order(BAD_DIRECTORY_DIAGNOSTICS));
    EXPECT_EQ(current_directory(), sStart);
    ASSERT_EQ(rRegistry.get_class_count(), 1);
    EXPECT_STREQ(rRegistry.get_library_name(0), "plainnames.so");
    EXPECT_STREQ(rRegistry.get_class(0)->get_class_name(), "Plain Class");
    DataObjectC* pObject = rRegistry.create_object(ClassIdentC(0x7E57AEC7, 0x00000002));
    ASSERT_NE(pObject, nullptr);
    pObject->release();

    // The accepted library really offers the plain names alone.
    void* pPlain = dlopen((sBad + "/plainnames.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(pPlain, nullptr);
    EXPECT_EQ(dlsym(pPlain, EXPORT_CLASSDESC_COUNT), nullptr);
    EXPECT_NE(dlsym(pPlain, "get_classdesc_count"), nullptr);
    dlclose(pPlain);
    for (const char* szRefused : {"api5.so", "api1_6.so", "nodllname.so", "notplugin.so"}) {
      EXPECT_FALSE(library_is_loaded(sBad + "/" + szRefused)) << szRefused;
    }
  }
  EXPECT_FALSE(library_is_loaded(sBad + "/plainnames.so"));
}

// Whatever lies in the current directory is not loaded in place of a missing
// folder: that is only done in the program's own folder (see the end-to-end
// tests, which copy the player beside its libraries).
TEST(PluginRegistryTest, AMissingDirectoryIsNotReplacedByACurrentOneOtherThanTheProgramsFolder) {
  const std::string sStart = current_directory();
  ASSERT_EQ(chdir(BAD_DIRECTORY.c_str()), 0);
  ClassRegistryC rRegistry;
  testing::internal::CaptureStderr();
  rRegistry.load_plugins("no-such-directory");
  const std::string sOutput = testing::internal::GetCapturedStderr();
  const std::string sAfter = current_directory();
  ASSERT_EQ(chdir(sStart.c_str()), 0);

  EXPECT_EQ(sOutput, "No plug-ins from no-such-directory (No such file or directory), nor from the current directory " +
                         BAD_DIRECTORY + ", which is not the player's folder\n");
  EXPECT_EQ(sAfter, BAD_DIRECTORY);
  EXPECT_EQ(rRegistry.get_class_count(), 0);
  EXPECT_TRUE(rRegistry.get_plugin_files().empty());
  EXPECT_FALSE(library_is_loaded(BAD_DIRECTORY + "/plainnames.so"));
}

TEST(PluginRegistryTest, ObjectsOfALoadedLibraryAndUnloadingAfterTheirRelease) {
  const std::string sLibrary = GOOD_DIRECTORY + "/testrect.so";
  {
    ClassRegistryC rRegistry;
    testing::internal::CaptureStderr();
    rRegistry.load_plugins(GOOD_DIRECTORY.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Loading plugin testrect.so...\nAPI version: 0.6\n1 classes\n * Test Rectangle\n");
    ASSERT_EQ(rRegistry.get_class_count(), 1);
    EXPECT_STREQ(rRegistry.get_library_name(0), "testrect.so");
    PluginClass::ClassDescC* pDesc = rRegistry.find_class(TESTRECT_CLASS);
    ASSERT_NE(pDesc, nullptr);
    EXPECT_EQ(pDesc->get_class_kind(), PluginClass::CLASS_KIND_EFFECT);
    EXPECT_EQ(pDesc->get_super_class_ident(), SUPERCLASS_EFFECT);

    DataObjectC* pFirst = rRegistry.create_object(TESTRECT_CLASS);
    DataObjectC* pSecond = rRegistry.create_object(TESTRECT_CLASS);
    ASSERT_NE(pFirst, nullptr);
    ASSERT_NE(pSecond, nullptr);
    EXPECT_NE(pFirst, pSecond);
    // The library's own type information must match the player's.
    EffectBaseC* pEffect = dynamic_cast<EffectBaseC*>(pFirst);
    ASSERT_NE(pEffect, nullptr);
    EXPECT_EQ(pEffect->get_class_ident(), TESTRECT_CLASS);
    EXPECT_STREQ(pEffect->get_class_name(), "Test Rectangle");
    EXPECT_TRUE(library_is_loaded(sLibrary));
    pFirst->release();
    pSecond->release();
  }
  EXPECT_FALSE(library_is_loaded(sLibrary));
}
