#include <gtest/gtest.h>

#include <string>

#include "corelib/box2c.h"
#include "corelib/classdescc.h"
#include "corelib/effectbasec.h"
#include "corelib/gizmobasec.h"
#include "corelib/importablebasec.h"
#include "corelib/intparamc.h"
#include "corelib/parambasec.h"
#include "corelib/timebasec.h"
#include "corelib/vector2paramc.h"
#include "tests/support/documentfilec.h"
#include "tests/vernisk/vernisktest.h"

namespace {

class VerniskPluginTest : public VerniskTest {
 protected:
  void SetUp() override {
    VerniskTest::SetUp();
    load_plugins();
  }

  OwnedT<ImportableBaseC> import(const ClassIdentC& rClass, const std::string& rPath) {
    OwnedT<ImportableBaseC> pImportable = create<ImportableBaseC>(rClass);
    EXPECT_TRUE(pImportable->load_file(rPath.c_str(), nullptr)) << rPath;
    return pImportable;
  }

  static std::string extensions(PluginClass::ClassDescC* pDesc) {
    std::string sExtensions;
    for (int32_t i = 0; i < pDesc->get_extension_count(); ++i) {
      sExtensions += std::string(sExtensions.empty() ? "" : " ") + pDesc->get_extension(i);
    }
    return sExtensions;
  }
};

struct ClassCaseS {
  ClassIdentC m_rClass;
  int32_t m_i32Kind;
  uint32_t m_ui32SuperClass;
  const char* m_szName;
  const char* m_szExtensions;
};

// The classes as documents know them: identifiers, families, names, the
// extensions tiravo-doc build picks them by.
TEST_F(VerniskPluginTest, ClassesAreDescribed) {
  const ClassCaseS rCases[] = {
      {IMAGE_IMPORT_CLASS, 2, 0x02000002, "Image", "PNG JPG JPEG WEBP BMP TGA TIF TIFF GIF"},
      {SHADER_IMPORT_CLASS, 2, 0x02000000, "Fragment Shader", "GLSL FRAG"},
      {FONT_IMPORT_CLASS, 2, 0x02000000, "Font", "TTF OTF"},
      {TEXT_IMPORT_CLASS, 2, 0x02000000, "Text File", "TXT"},
      {SHADER_EFFECT_CLASS, 1, 0x01000000, "Shader", ""},
      {TEXT_EFFECT_CLASS, 1, 0x01000000, "Text", ""},
  };
  for (const ClassCaseS& rCase : rCases) {
    SCOPED_TRACE(rCase.m_szName);
    PluginClass::ClassDescC* pDesc = m_rRegistry.find_class(rCase.m_rClass);
    ASSERT_NE(nullptr, pDesc);
    EXPECT_EQ(rCase.m_i32Kind, pDesc->get_class_kind());
    EXPECT_EQ(rCase.m_ui32SuperClass, pDesc->get_super_class_ident().get_value());
    EXPECT_STREQ(rCase.m_szName, pDesc->get_class_name());
    EXPECT_EQ(rCase.m_szExtensions, extensions(pDesc));
    EXPECT_EQ(ClassIdentC(0, 0x2710), *pDesc->get_driver_requirement(0));
    OwnedT<DataObjectC> pObject(pDesc->make_object());
    if (auto* pImportable = dynamic_cast<ImportableBaseC*>(pObject.get())) {
      EXPECT_STREQ(rCase.m_szName, pImportable->get_class_name());
      EXPECT_EQ(rCase.m_rClass, pImportable->get_class_ident());
      EXPECT_EQ(rCase.m_ui32SuperClass, pImportable->get_super_class_ident().get_value());
    } else {
      auto* pEffect = dynamic_cast<EffectBaseC*>(pObject.get());
      ASSERT_NE(nullptr, pEffect);
      EXPECT_STREQ(rCase.m_szName, pEffect->get_class_name());
      EXPECT_EQ(rCase.m_rClass, pEffect->get_class_ident());
    }
  }
}

TEST_F(VerniskPluginTest, ImportablesDescribeTheirFiles) {
  write_text(m_rDirectory.file("wave.frag"), "void mainImage(out vec4 c, in vec2 p) {\n  c = vec4(1.0);\n}\n");
  write_text(m_rDirectory.file("lines.txt"), "\xEF\xBB\xBFOne\nTw\xC3\xB6\n");
  EXPECT_STREQ("GLSL fragment shader of 3 lines", import(SHADER_IMPORT_CLASS, m_rDirectory.file("wave.frag"))->get_info());
  EXPECT_STREQ("DejaVu Sans Book, 6253 glyphs", import(FONT_IMPORT_CLASS, VERNISK_FONT)->get_info());
  EXPECT_STREQ("UTF-8 text of 7 characters in 2 lines", import(TEXT_IMPORT_CLASS, m_rDirectory.file("lines.txt"))->get_info());
  // An OpenType font of CFF outlines, made by fontTools from DejaVu Sans.
  EXPECT_STREQ("Seed Sans Regular, 36 glyphs", import(FONT_IMPORT_CLASS, VERNISK_CFF_FONT)->get_info());
  OwnedT<ImportableBaseC> pEmpty = create<ImportableBaseC>(FONT_IMPORT_CLASS);
  EXPECT_STREQ("No Font", pEmpty->get_info());
  EXPECT_EQ(-1, pEmpty->get_duration(nullptr));
}

// A file the class cannot use is refused with its reason, and what the
// importable held stays.
TEST_F(VerniskPluginTest, UnusableFilesAreRefused) {
  OwnedT<ImportableBaseC> pFont = import(FONT_IMPORT_CLASS, VERNISK_FONT);
  write_text(m_rDirectory.file("empty.txt"), "");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(pFont->load_file(media("pattern.png").c_str(), nullptr));
  EXPECT_FALSE(create<ImportableBaseC>(TEXT_IMPORT_CLASS)->load_file(m_rDirectory.file("empty.txt").c_str(), nullptr));
  const std::string sError = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, sError.find("pattern.png cannot be used: not a TrueType or OpenType font")) << sError;
  EXPECT_NE(std::string::npos, sError.find("empty.txt cannot be used")) << sError;
  EXPECT_STREQ(VERNISK_FONT, pFont->get_file_name());
  EXPECT_STREQ("DejaVu Sans Book, 6253 glyphs", pFont->get_info());
}

// The document keeps each file whole; a font loaded back is opened again.
TEST_F(VerniskPluginTest, DocumentsKeepTheFiles) {
  OwnedT<ImportableBaseC> pFont = import(FONT_IMPORT_CLASS, VERNISK_FONT);
  DocumentFileC rDocument;
  EXPECT_EQ(CHUNK_OK, rDocument.save(pFont.get()));
  OwnedT<ImportableBaseC> pLoaded = create<ImportableBaseC>(FONT_IMPORT_CLASS);
  EXPECT_EQ(CHUNK_END, rDocument.load(pLoaded.get()));
  EXPECT_STREQ(VERNISK_FONT, pLoaded->get_file_name());
  EXPECT_STREQ("DejaVu Sans Book, 6253 glyphs", pLoaded->get_info());
  OwnedT<EditableC> pCopy(pLoaded->make_restore_copy());
  EXPECT_STREQ("DejaVu Sans Book, 6253 glyphs", static_cast<ImportableBaseC*>(pCopy.get())->get_info());
}

// The effects' groups, in the house order, and their parameters saved and
// loaded back by id.
TEST_F(VerniskPluginTest, EffectsKeepTheirParameters) {
  OwnedT<EffectBaseC> pShader = create<EffectBaseC>(SHADER_EFFECT_CLASS);
  ASSERT_EQ(4, pShader->get_gizmo_count());
  const char* const szGroups[] = {"Transform", "Attributes", "Channels", "Inputs"};
  for (int32_t i = 0; i < 4; ++i) {
    EXPECT_STREQ(szGroups[i], pShader->get_gizmo(i)->get_name());
  }
  EXPECT_EQ(nullptr, pShader->get_gizmo(4));
  EXPECT_STREQ("Position", pShader->get_default_param(1)->get_name());
  EXPECT_STREQ("Pivot", pShader->get_default_param(4)->get_name());
  EXPECT_STREQ("Size", pShader->get_gizmo(1)->get_param(3)->get_name());
  EXPECT_STREQ("Param 8", pShader->get_gizmo(3)->get_param(7)->get_name());
  static_cast<Vector2ParamC*>(pShader->get_gizmo(1)->get_param(3))->set_value(0, Vector2C(100, 50));
  static_cast<Vector2ParamC*>(pShader->get_gizmo(0)->get_param(0))->set_value(0, Vector2C(10, 20));
  const float f32Param = 0.75f;
  pShader->get_gizmo(3)->get_param(2)->set_value(0, &f32Param);

  DocumentFileC rDocument;
  EXPECT_EQ(CHUNK_OK, rDocument.save(pShader.get()));
  OwnedT<EffectBaseC> pLoaded = create<EffectBaseC>(SHADER_EFFECT_CLASS);
  EXPECT_EQ(CHUNK_END, rDocument.load(pLoaded.get()));
  float f32Loaded = 0.0f;
  pLoaded->get_gizmo(3)->get_param(2)->get_value(0, &f32Loaded);
  EXPECT_EQ(0.75f, f32Loaded);
  // A 100 × 50 quad about (10, 20).
  TimeBaseC rTime(120, 4, 2);
  pLoaded->evaluate(0, &rTime);
  EXPECT_EQ(Vector2C(-40, -5), pLoaded->get_bbox().m_rMin);
  EXPECT_EQ(Vector2C(60, 45), pLoaded->get_bbox().m_rMax);
  EXPECT_TRUE(pLoaded->hit_test(Vector2C(59, 44)));
  EXPECT_FALSE(pLoaded->hit_test(Vector2C(61, 20)));

  OwnedT<EffectBaseC> pText = create<EffectBaseC>(TEXT_EFFECT_CLASS);
  ASSERT_EQ(3, pText->get_gizmo_count());
  EXPECT_STREQ("Text", pText->get_gizmo(2)->get_name());
  EXPECT_STREQ("Reveal", pText->get_gizmo(2)->get_param(3)->get_name());
  EXPECT_STREQ("Centre", static_cast<IntParamC*>(pText->get_gizmo(2)->get_param(2))->get_label_text(1));
}

// tiravo-doc builds a description of all four importables and dumps what
// each says of itself: the shader's compile log among it.
TEST_F(VerniskPluginTest, DocToolBuildsAndDumpsTheFiles) {
  write_text(m_rDirectory.file("broken.glsl"), "void mainImage(out vec4 c, in vec2 p) {\n  c = nothing;\n}\n");
  write_text(m_rDirectory.file("words.txt"), "words\n");
  write_text(m_rDirectory.file("all.json"), R"({"files": [{"file_name": ")" + media("opaque.jpg") + R"("},
      {"file_name": "broken.glsl"}, {"file_name": ")" VERNISK_FONT R"("}, {"file_name": "words.txt"}],
      "scene": {"layers": [{"time_segment": [0, 2048], "effects": [
        {"class": "Shader", "time_segment": [0, 2048], "params": {"Attributes": {"Shader": 1},
         "Channels": {"Channel 0": 0}}},
        {"class": "Text", "time_segment": [0, 2048], "params": {"Attributes": {"Font": 2, "Text": 3}}},
        {"class": "Video Player", "time_segment": [0, 2048], "params": {"Attributes": {"Video": 0}}}]}]}})");
  TiravoProcessC rTool;
  rTool.set_program(TIRAVO_DOC_BINARY);
  // The dump compiles the shader in the OpenGL driver's context, and Mesa may
  // leave its own allocations behind at exit.
  rTool.set_variable("ASAN_OPTIONS", "detect_leaks=0");
  TiravoProcessC::ResultS rBuilt =
      rTool.run(m_rDirectory.path(), {"build", "all.json", "-o", "all.doc", "--plugins", plugin_directory()});
  ASSERT_EQ(0, rBuilt.m_iExitCode) << rBuilt.m_sError;
  TiravoProcessC::ResultS rDumped = rTool.run(m_rDirectory.path(), {"dump", "all.doc", "--plugins", plugin_directory()});
  ASSERT_EQ(0, rDumped.m_iExitCode) << rDumped.m_sError;
  const std::string& rJson = rDumped.m_sOutput;
  EXPECT_NE(std::string::npos, rJson.find("24 x 16 x 24BPP JPEG image")) << rJson;
  EXPECT_NE(std::string::npos, rJson.find("GLSL fragment shader of 3 lines, does not compile")) << rJson;
  EXPECT_NE(std::string::npos, rJson.find("0:2(")) << rJson;
  EXPECT_NE(std::string::npos, rJson.find("DejaVu Sans Book, 6253 glyphs")) << rJson;
  EXPECT_NE(std::string::npos, rJson.find("UTF-8 text of 5 characters in 1 line")) << rJson;
  EXPECT_NE(std::string::npos, rJson.find("\"Channel 0\"")) << rJson;
}

}  // namespace
