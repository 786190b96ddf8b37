#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "corelib/classdescc.h"
#include "corelib/classidentc.h"
#include "corelib/effectbasec.h"
#include "corelib/gizmobasec.h"
#include "corelib/importablebasec.h"
#include "corelib/pluginexports.h"
#include "plugins/video/helpresources.h"
#include "tests/fliksel/flikseltest.h"

namespace {

class FlikselPluginTest : public FlikselTest {
 protected:
  void SetUp() override {
    load_plugins();
    m_pLibrary = dlopen(FLIKSEL_PLUGIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, m_pLibrary) << dlerror();
  }
  void TearDown() override {
    if (m_pLibrary) {
      dlclose(m_pLibrary);
    }
  }

  template <class FunctionT>
  FunctionT bind(const char* szName) {
    return reinterpret_cast<FunctionT>(dlsym(m_pLibrary, szName));
  }

  // The resource, as compiled into the library, and its text; empty when
  // there is none.
  std::string resource(const char* szType, const char* szName) {
    uint32_t ui32Size = 12345;
    const uint8_t* pData = find_help_resource(szType, szName, &ui32Size);
    if (!pData) {
      EXPECT_EQ(0u, ui32Size);
      return "";
    }
    return std::string(reinterpret_cast<const char*>(pData), ui32Size);
  }

  void* m_pLibrary = nullptr;
};

bool contains(const std::string& rText, const std::string& rPart) { return rText.find(rPart) != std::string::npos; }

TEST_F(FlikselPluginTest, PlayerListsTheLibraryWithItsThreeClasses) {
  EXPECT_TRUE(contains(m_sLoadOutput, "Loading plugin fliksel.so...\nAPI version: 0.6\n3 classes\n * AVI Animation\n"
                                      " * Video Player\n * Movie\n"))
      << m_sLoadOutput;
  ASSERT_EQ(3, m_rRegistry.get_class_count());
  EXPECT_STREQ("fliksel.so", m_rRegistry.get_library_name(0));

  using IntFunctionT = int (*)();
  using NameFunctionT = const char* (*)();
  using DescFunctionT = PluginClass::ClassDescC* (*)(int);
  EXPECT_EQ(6, bind<IntFunctionT>(EXPORT_API_VERSION)());
  EXPECT_EQ(3, bind<IntFunctionT>(EXPORT_CLASSDESC_COUNT)());
  DescFunctionT pGetDesc = bind<DescFunctionT>(EXPORT_CLASSDESC);
  EXPECT_EQ(m_rRegistry.get_class(0), pGetDesc(0));
  EXPECT_EQ(m_rRegistry.get_class(1), pGetDesc(1));
  EXPECT_EQ(m_rRegistry.get_class(2), pGetDesc(2));
  EXPECT_EQ(nullptr, pGetDesc(3));
  EXPECT_EQ(nullptr, pGetDesc(-1));
  const std::string sName = bind<NameFunctionT>(EXPORT_DLL_NAME)();
  const std::string sPrefix = "fliksel.dll - AVI Animation Plugin";
  EXPECT_EQ(sPrefix, sName.substr(0, sPrefix.size()));
  EXPECT_TRUE(contains(sName.substr(sPrefix.size()), "Copyright")) << sName;
  EXPECT_FALSE(contains(sName, "\n"));
}

TEST_F(FlikselPluginTest, DescriptorsAnswerFieldByField) {
  PluginClass::ClassDescC* pImport = m_rRegistry.get_class(0);
  PluginClass::ClassDescC* pPlayer = m_rRegistry.get_class(1);
  PluginClass::ClassDescC* pMovie = m_rRegistry.get_class(2);
  ASSERT_NE(nullptr, pImport);
  ASSERT_NE(nullptr, pPlayer);
  ASSERT_NE(nullptr, pMovie);
  const ClassIdentC rOpenGL(0x00000000, 0x00002710);

  EXPECT_EQ(2, pImport->get_class_kind());
  EXPECT_EQ(AVI_IMPORT_CLASS, pImport->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x02000002), pImport->get_super_class_ident());
  EXPECT_STREQ("AVI Animation", pImport->get_class_name());
  EXPECT_STREQ("Importer for AVI animations", pImport->get_description());
  EXPECT_STREQ("res://AVIhelp.html", pImport->get_help_location());
  EXPECT_EQ(1, pImport->get_extension_count());
  EXPECT_STREQ("AVI", pImport->get_extension(0));
  EXPECT_EQ(nullptr, pImport->get_extension(1));
  EXPECT_EQ(nullptr, pImport->get_extension(-1));

  EXPECT_EQ(1, pPlayer->get_class_kind());
  EXPECT_EQ(VIDEO_PLAYER_CLASS, pPlayer->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x01000000), pPlayer->get_super_class_ident());
  EXPECT_STREQ("Video Player", pPlayer->get_class_name());
  EXPECT_STREQ("Video Player Effect", pPlayer->get_description());
  EXPECT_STREQ("res://AVIPlayerHelp.html", pPlayer->get_help_location());
  EXPECT_EQ(0, pPlayer->get_extension_count());
  EXPECT_EQ(nullptr, pPlayer->get_extension(0));

  EXPECT_EQ(2, pMovie->get_class_kind());
  EXPECT_EQ(MOVIE_IMPORT_CLASS, pMovie->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x02000002), pMovie->get_super_class_ident());
  EXPECT_STREQ("Movie", pMovie->get_class_name());
  EXPECT_STREQ("res://Moviehelp.html", pMovie->get_help_location());
  ASSERT_EQ(8, pMovie->get_extension_count());
  std::string sExtensions;
  for (int32_t i = 0; i < 8; ++i) {
    sExtensions += std::string(pMovie->get_extension(i)) + " ";
  }
  EXPECT_EQ("MP4 MOV M4V MKV WEBM OGV 3GP 3G2 ", sExtensions);
  EXPECT_EQ(nullptr, pMovie->get_extension(8));
  EXPECT_EQ(nullptr, pMovie->get_extension(-1));

  for (PluginClass::ClassDescC* pDesc : {pImport, pPlayer, pMovie}) {
    EXPECT_STRNE("", pDesc->get_author());
    EXPECT_TRUE(contains(pDesc->get_copyright(), "2000")) << pDesc->get_copyright();
    EXPECT_STRNE("", pDesc->get_web_address());
    EXPECT_EQ(1, pDesc->get_driver_requirement_count());
    for (int32_t i : {0, 1, 7}) {
      ASSERT_NE(nullptr, pDesc->get_driver_requirement(i));
      EXPECT_EQ(rOpenGL, *pDesc->get_driver_requirement(i));
    }
  }
  EXPECT_STREQ(pImport->get_author(), pPlayer->get_author());
  EXPECT_STREQ(pImport->get_copyright(), pPlayer->get_copyright());
  EXPECT_STREQ(pImport->get_web_address(), pPlayer->get_web_address());
  EXPECT_STREQ(pImport->get_author(), pMovie->get_author());
  EXPECT_NE(pImport->get_class_ident(), pPlayer->get_class_ident());
  EXPECT_NE(pImport->get_class_ident(), pMovie->get_class_ident());
  EXPECT_NE(pPlayer->get_class_ident(), pMovie->get_class_ident());
  for (const ClassIdentC& rSystem : {ClassIdentC(), rOpenGL, ClassIdentC(0, 0x2711), ClassIdentC(0, 0x2712)}) {
    EXPECT_NE(rSystem, pImport->get_class_ident());
    EXPECT_NE(rSystem, pPlayer->get_class_ident());
    EXPECT_NE(rSystem, pMovie->get_class_ident());
  }
}

TEST_F(FlikselPluginTest, ObjectsMatchTheirDescriptors) {
  OwnedT<ImportableBaseC> pImport = create<ImportableBaseC>(AVI_IMPORT_CLASS);
  OwnedT<ImportableBaseC> pMovie = create<ImportableBaseC>(MOVIE_IMPORT_CLASS);
  OwnedT<EffectBaseC> pPlayer = create<EffectBaseC>(VIDEO_PLAYER_CLASS);
  ASSERT_TRUE(pImport && pMovie && pPlayer);
  EXPECT_STREQ("AVI Animation", pImport->get_class_name());
  EXPECT_EQ(AVI_IMPORT_CLASS, pImport->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x02000002), pImport->get_super_class_ident());
  EXPECT_EQ(VIDEO_PLAYER_CLASS, pImport->get_default_effect());
  EXPECT_STREQ("Movie", pMovie->get_class_name());
  EXPECT_EQ(MOVIE_IMPORT_CLASS, pMovie->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x02000002), pMovie->get_super_class_ident());
  EXPECT_EQ(VIDEO_PLAYER_CLASS, pMovie->get_default_effect());
  EXPECT_EQ(0, pMovie->get_item_count());
  EXPECT_EQ(nullptr, pMovie->get_item(0));
  EXPECT_STREQ("Video Player", pPlayer->get_class_name());
  EXPECT_EQ(VIDEO_PLAYER_CLASS, pPlayer->get_class_ident());
  EXPECT_EQ(SuperClassIdentC(0x01000000), pPlayer->get_super_class_ident());

  ASSERT_EQ(3, pPlayer->get_gizmo_count());
  EXPECT_EQ(nullptr, pPlayer->get_gizmo(3));
  EXPECT_STREQ("Timing", pPlayer->get_gizmo(2)->get_name());
  // Position, rotation, scale and pivot, by their selectors.
  GizmoBaseC* pTransform = pPlayer->get_gizmo(0);
  EXPECT_EQ(pTransform->get_param(0), pPlayer->get_default_param(1));
  EXPECT_EQ(pTransform->get_param(2), pPlayer->get_default_param(2));
  EXPECT_EQ(pTransform->get_param(3), pPlayer->get_default_param(3));
  EXPECT_EQ(pTransform->get_param(1), pPlayer->get_default_param(4));
  EXPECT_EQ(nullptr, pPlayer->get_default_param(5));
}

TEST_F(FlikselPluginTest, HelpPagesAndLogoAreFoundWithoutRegardToCase) {
  PluginClass::ClassDescC* pImport = m_rRegistry.get_class(0);
  PluginClass::ClassDescC* pPlayer = m_rRegistry.get_class(1);
  PluginClass::ClassDescC* pMovie = m_rRegistry.get_class(2);
  const std::string sImportPage = resource("HTML", pImport->get_help_location() + std::strlen("res://"));
  const std::string sPlayerPage = resource("html", pPlayer->get_help_location() + std::strlen("res://"));
  const std::string sMoviePage = resource("HTML", pMovie->get_help_location() + std::strlen("res://"));
  EXPECT_EQ(sMoviePage, resource("html", "MOVIEHELP.HTML"));
  EXPECT_TRUE(contains(sMoviePage, "<h1>Movie Importer</h1>")) << sMoviePage;
  for (const char* szTopic : {"MP4", "MOV", "MKV", "WebM", "Ogg", "3GP", "alpha", "dropped", "upright", "256 x 64"}) {
    EXPECT_TRUE(contains(sMoviePage, szTopic)) << szTopic;
  }
  EXPECT_EQ(sImportPage, resource("Html", "AVIHELP.HTML"));
  EXPECT_EQ(sPlayerPage, resource(nullptr, "aviplayerhelp.html"));
  EXPECT_TRUE(contains(sImportPage, "<h1>AVI Importer</h1>")) << sImportPage;
  EXPECT_TRUE(contains(sImportPage, "256 x 64"));
  EXPECT_TRUE(contains(sPlayerPage, "<h1>Video Player Effect</h1>")) << sPlayerPage;
  for (const char* szParam : {"Position", "Pivot", "Rotation", "Scale", "Fill Color", "Render mode", "Filter mode",
                              "Video", "FPS", "Frame", "Parameters"}) {
    EXPECT_TRUE(contains(sPlayerPage, szParam)) << szParam;
  }
  // Both pages show the logo at the top and end with a copyright line.
  for (const std::string& rPage : {sImportPage, sPlayerPage, sMoviePage}) {
    EXPECT_LT(rPage.find("<img src=\"res://IMG/LOGO.GIF\""), rPage.find("<h1>"));
    EXPECT_LT(rPage.find("<h1>"), rPage.rfind("Copyright (C) 2000"));
  }
  const std::string sLogo = resource("img", "logo.gif");
  EXPECT_EQ("GIF89a", sLogo.substr(0, 6));
  EXPECT_EQ(';', sLogo.back());
  EXPECT_EQ("", resource("HTML", "LOGO.GIF"));
  EXPECT_EQ("", resource("HTML", "missing.html"));
}

}  // namespace
