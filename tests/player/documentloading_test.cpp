#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "corelib/box2c.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "player/playerc.h"
#include "tests/plugins/testrect.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/presentationfile.h"
#include "tests/support/tempfilec.h"
#include "tests/support/testdriverc.h"
#include "tests/support/testimportablec.h"

namespace {

// What a message box leaves on standard error: its title, ": ", its text,
// and a line end unless the text has one.
std::string box_output(const std::string& rText) {
  return "Load Error: " + rText + (rText.back() == '\n' ? "" : "\n");
}

GizmoBaseC* rect_gizmo(EffectBaseC* pEffect) {
  return pEffect->get_gizmo(TESTRECT_GIZMO_ID);
}

// A player as the program makes it, with the test plug-in directory loaded
// and the test importable and driver classes built in.
class DocumentLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Message boxes must only write to standard error, even with a display.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ClassRegistryC* pRegistry = m_rPlayer.get_class_registry();
    testing::internal::CaptureStderr();
    pRegistry->load_plugins(TIRAVO_TEST_PLUGINS_GOOD);
    testing::internal::GetCapturedStderr();
    pRegistry->register_internal(test_importable_desc());
    pRegistry->register_internal(&m_rDriverDesc);
    ASSERT_TRUE(m_rPlayer.init(nullptr, false));
  }

  int32_t load(PlayerC& rPlayer, const char* szPath) {
    testing::internal::CaptureStderr();
    const int32_t i32Result = rPlayer.load(szPath);
    m_sOutput = testing::internal::GetCapturedStderr();
    return i32Result;
  }
  int32_t load() { return load(m_rPlayer, m_rFile.path()); }

  // Importables A and B, a scene of one layer with a Test Rectangle whose
  // file parameter saved file index i32FileIndex, music and a test driver.
  void write_presentation(int32_t i32FileIndex) {
    OwnedT<TestImportableC> pA(TestImportableC::make("a.tst"));
    OwnedT<TestImportableC> pB(TestImportableC::make("b.tst"));
    OwnedT<ImportHandleC> pHandle(ImportHandleC::create_handle());
    pHandle->set_importable(pB.get());
    pHandle->set_user_value(i32FileIndex);
    OwnedT<SceneC> pScene(SceneC::create_scene());
    pScene->set_layout_width(320);
    EffectBaseC* pEffect = dynamic_cast<EffectBaseC*>(m_rPlayer.get_class_registry()->create_object(TESTRECT_CLASS));
    ASSERT_NE(pEffect, nullptr);
    pScene->add_layer()->add_effect(pEffect);
    GizmoBaseC* pGizmo = rect_gizmo(pEffect);
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MIN))->set_value(0, Vector2C(10.0f, 20.0f));
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MAX))->set_value(0, Vector2C(110.0f, 70.0f));
    static_cast<FileParamC*>(pGizmo->get_param(TESTRECT_PARAM_SOURCE))->set_file(pHandle.get());

    write_document(m_rFile, [&](ChunkWriterC& rWriter) {
      write_class_chunk(rWriter, 0x1000, TestImportableC::class_ident(), "Test Importable", pA.get());
      write_scene_chunk(rWriter, pScene.get());
      write_string_chunk(rWriter, 0x4000, TOP_VERSION, "song.ogg");
      write_class_chunk(rWriter, 0x1000, TestImportableC::class_ident(), "Test Importable", pB.get());
      write_class_chunk(rWriter, 0x5000, TestDriverC::default_class_ident(), "Test Driver", nullptr);
    });
  }

  // The one effect of the one layer, or null.
  EffectBaseC* loaded_effect() {
    SceneC* pScene = m_rPlayer.get_scene();
    const bool bOne = pScene->get_layer_count() == 1 && pScene->get_layer(0)->get_effect_count() == 1;
    return bOne ? pScene->get_layer(0)->get_effect(0) : nullptr;
  }

  FileParamC* loaded_source() {
    EffectBaseC* pEffect = loaded_effect();
    return pEffect ? dynamic_cast<FileParamC*>(rect_gizmo(pEffect)->get_param(TESTRECT_PARAM_SOURCE)) : nullptr;
  }

  TestDriverDescC m_rDriverDesc;
  PlayerC m_rPlayer;
  TempFileC m_rFile;
  std::string m_sOutput;
};

}  // namespace

TEST_F(DocumentLoadingTest, PresentationComesBackThroughThePluginLibrary) {
  write_presentation(1);
  ASSERT_EQ(load(), 0);
  EXPECT_EQ(m_sOutput, "");

  EXPECT_EQ(m_rPlayer.get_scene()->get_layout_width(), 320);
  EXPECT_EQ(m_rPlayer.get_music_file_name(), "song.ogg");
  EffectBaseC* pEffect = loaded_effect();
  ASSERT_NE(pEffect, nullptr);
  EXPECT_EQ(pEffect->get_class_ident(), TESTRECT_CLASS);
  pEffect->evaluate(50, nullptr);
  EXPECT_EQ(pEffect->get_bbox().m_rMin, Vector2C(10.0f, 20.0f));
  EXPECT_EQ(pEffect->get_bbox().m_rMax, Vector2C(110.0f, 70.0f));

  // Importables keep their file order; the parameter's index 1 is B.
  ImportListC* pList = m_rPlayer.get_import_list();
  ASSERT_EQ(pList->get_handle_count(), 2);
  EXPECT_STREQ(pList->get_handle(0)->get_importable()->get_file_name(), "a.tst");
  EXPECT_STREQ(pList->get_handle(1)->get_importable()->get_file_name(), "b.tst");
  FileParamC* pSource = loaded_source();
  ASSERT_NE(pSource, nullptr);
  EXPECT_EQ(pSource->get_file(), pList->get_handle(1));

  DeviceTableC* pDevices = m_rPlayer.get_device_table();
  ASSERT_EQ(pDevices->get_device_count(), 1);
  EXPECT_EQ(pDevices->get_device(0)->get_class_ident(), TestDriverC::default_class_ident());
}

TEST_F(DocumentLoadingTest, FileIndexBeyondTheImportablesIsAnErrorThatDoesNotFailTheLoad) {
  write_presentation(2);
  ASSERT_EQ(load(), 0);
  EXPECT_EQ(m_sOutput, "");
  FileParamC* pSource = loaded_source();
  ASSERT_NE(pSource, nullptr);
  EXPECT_EQ(pSource->get_file(), nullptr);

  // The error list is the reader's: load the same document through one we own.
  ChunkReaderC rReader(m_rPlayer.get_class_registry());
  ASSERT_EQ(rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  EXPECT_EQ(m_rPlayer.load_document(&rReader), 0);
  ASSERT_EQ(rReader.get_error_count(), 1);
  EXPECT_STREQ(rReader.get_error_text(0), "Load Doc: FileHandle patching failed.");
}

TEST_F(DocumentLoadingTest, ClassThatNoLibraryProvidesStopsTheLoadAndListsEveryError) {
  // A scene whose tempo its loader refuses adds an error of its own first.
  OwnedT<SceneC> pScene(SceneC::create_scene());
  pScene->set_beats_per_min(0);
  write_document(m_rFile, [&](ChunkWriterC& rWriter) {
    write_scene_chunk(rWriter, pScene.get());
    write_class_chunk(rWriter, 0x1000, ClassIdentC(0x0BADC1A5, 0x00000007), "Lost Importable", nullptr);
    write_string_chunk(rWriter, 0x4000, TOP_VERSION, "after.ogg");
  });
  EXPECT_EQ(load(), 5);
  const std::string sHead = "Load Error: Loading file failed.\n\nFollowing error occured:\nLoad Scene: ";
  const std::string sTail =
      ".\n- Load File: Importable Lost Importable (0x0badc1a5, 0x00000007) cannot be created. Propably missing DLL.\n";
  EXPECT_EQ(m_sOutput.substr(0, sHead.size()), sHead) << m_sOutput;
  ASSERT_GE(m_sOutput.size(), sTail.size());
  EXPECT_EQ(m_sOutput.substr(m_sOutput.size() - sTail.size()), sTail) << m_sOutput;
  EXPECT_EQ(m_rPlayer.get_music_file_name(), "");
  EXPECT_EQ(m_rPlayer.get_import_list()->get_handle_count(), 0);
}

TEST_F(DocumentLoadingTest, DocumentWithoutDriverGetsTheDefaultDriverIfOneExists) {
  write_document(m_rFile, [](ChunkWriterC& rWriter) { write_string_chunk(rWriter, 0x4000, TOP_VERSION, "a.ogg"); });
  EXPECT_EQ(load(), 0);
  EXPECT_EQ(m_sOutput, box_output("No default device dirver."));
  EXPECT_EQ(m_rPlayer.get_device_table()->get_device_count(), 0);

  TestDriverDescC rDefaultDesc(CLASS_OPENGL_DEVICEDRIVER, "OpenGL Device Driver");
  PlayerC rPlayer;
  rPlayer.get_class_registry()->register_internal(&rDefaultDesc);
  ASSERT_TRUE(rPlayer.init(nullptr, false));
  EXPECT_EQ(load(rPlayer, m_rFile.path()), 0);
  EXPECT_EQ(m_sOutput, box_output("No default device dirver."));
  ASSERT_EQ(rPlayer.get_device_table()->get_device_count(), 1);
  EXPECT_EQ(rPlayer.get_device_table()->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE)->get_class_ident(),
            CLASS_OPENGL_DEVICEDRIVER);
  EXPECT_EQ(rDefaultDesc.m_i32MadeCount, 1);
}

TEST_F(DocumentLoadingTest, OtherVersionsAndUnknownChunksAreSkipped) {
  write_document(m_rFile, [](ChunkWriterC& rWriter) {
    write_string_chunk(rWriter, 0x4000, 0x00020000, "newer.ogg");
    write_string_chunk(rWriter, 0x7000, TOP_VERSION, "unknown");
    write_class_chunk(rWriter, 0x5000, TestDriverC::default_class_ident(), "Test Driver", nullptr);
  });
  EXPECT_EQ(load(), 0);
  EXPECT_EQ(m_sOutput, "");
  EXPECT_EQ(m_rPlayer.get_music_file_name(), "");
}

TEST_F(DocumentLoadingTest, UnreadableFileReplacesTheDocumentByAnEmptyOne) {
  write_presentation(1);
  ASSERT_EQ(load(), 0);
  m_rFile.write_bytes(concat({text_bytes("NOT|A|DOCUMENT"), chunk(0x4000, TOP_VERSION, text_bytes("x"))}));
  EXPECT_EQ(load(), CHUNK_WRONG_FORMAT);
  EXPECT_EQ(m_sOutput, box_output("File is in wrong format."));
  EXPECT_EQ(m_rPlayer.get_scene()->get_layer_count(), 0);
  EXPECT_EQ(m_rPlayer.get_import_list()->get_handle_count(), 0);

  const std::string sMissing = std::string(m_rFile.path()) + ".missing";
  EXPECT_EQ(load(m_rPlayer, sMissing.c_str()), CHUNK_NOT_OPEN);
  EXPECT_EQ(m_sOutput, box_output("Cannot open file for input."));
}

// A class name cut off by the end of the file still leaves the identifier:
// the class is looked for, and the one line naming it is the whole summary.
TEST_F(DocumentLoadingTest, ClassNameCutOffStillNamesTheMissingClass) {
  const BytesT rLostClass = concat({bytes_of<uint32_t>(0x0BADC1A5), bytes_of<uint32_t>(7)});
  const BytesT rCutName = concat({bytes_of<uint16_t>(40), text_bytes("Lost")});
  m_rFile.write_bytes(concat({signature_bytes(), chunk(0x1000, TOP_VERSION, concat({rLostClass, rCutName}))}));
  ChunkReaderC rReader(m_rPlayer.get_class_registry());
  ASSERT_EQ(rReader.open(m_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  EXPECT_EQ(m_rPlayer.load_document(&rReader), CHUNK_DAMAGED);
  ASSERT_EQ(rReader.get_error_count(), 1);
  const std::string sLine =
      "- Load File: Importable Lost (0x0badc1a5, 0x00000007) cannot be created. Propably missing DLL.";
  EXPECT_EQ(sLine, rReader.get_error_text(0));
  EXPECT_EQ(load(), CHUNK_DAMAGED);
  EXPECT_EQ(m_sOutput, box_output("Loading file failed.\n\nFollowing error occured:\n" + sLine + "\n"));

  // The same for a device driver; a class that exists is made and meets the
  // reader's error in its own load.
  m_rFile.write_bytes(concat({signature_bytes(), chunk(0x5000, TOP_VERSION, concat({rLostClass, rCutName}))}));
  EXPECT_EQ(load(), CHUNK_DAMAGED);
  EXPECT_EQ(m_sOutput, box_output("Loading file failed.\n\nFollowing error occured:\n- Device driver: Device driver "
                                  "Lost (0x0badc1a5, 0x00000007) cannot be created. Propably missing DLL.\n"));
  const ClassIdentC rKnown = TestImportableC::class_ident();
  const BytesT rKnownClass = concat({bytes_of(rKnown.get_first()), bytes_of(rKnown.get_second())});
  m_rFile.write_bytes(concat({signature_bytes(), chunk(0x1000, TOP_VERSION, concat({rKnownClass, rCutName}))}));
  EXPECT_EQ(load(), CHUNK_DAMAGED);
  EXPECT_EQ(m_sOutput, box_output("Loading file failed.\n\n"));
  EXPECT_EQ(m_rPlayer.get_import_list()->get_handle_count(), 1);
}

// Damage that no loader describes leaves the list empty: the summary is its
// first line alone. A load that succeeds shows no box at all.
TEST_F(DocumentLoadingTest, SummaryWithoutErrorsIsItsFirstLineAndSuccessShowsNone) {
  m_rFile.write_bytes(concat({signature_bytes(), chunk_header(0x4000, TOP_VERSION, 4)}));
  EXPECT_EQ(load(), CHUNK_DAMAGED);
  EXPECT_EQ(m_sOutput, box_output("Loading file failed.\n\n"));
  write_presentation(1);
  EXPECT_EQ(load(), 0);
  EXPECT_EQ(m_sOutput, "");
}
