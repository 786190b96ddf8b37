#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "corelib/devicetablec.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "description/documentsaving.h"
#include "docfile/chunkreaderc.h"
#include "player/playerc.h"
#include "tests/doc/doctoolc.h"
#include "tests/plugins/testrect.h"
#include "tests/support/testimportablec.h"

namespace {

// Documents read back by the player's own loader, with the plug-ins of the
// working directory and the test importable built in.
class DocumentSavingTest : public DocToolTestC {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    testing::internal::CaptureStderr();
    m_rPlayer.get_class_registry()->load_plugins(path("plugins").c_str());
    testing::internal::GetCapturedStderr();
    m_rPlayer.get_class_registry()->register_internal(test_importable_desc());
    ASSERT_TRUE(m_rPlayer.init(nullptr, false));
  }

  FileParamC* file_param(int32_t i32Layer, int32_t i32Effect, int32_t i32Gizmo, int32_t i32Param) {
    EffectBaseC* pEffect = m_rPlayer.get_scene()->get_layer(static_cast<uint32_t>(i32Layer))->get_effect(i32Effect);
    return static_cast<FileParamC*>(pEffect->get_gizmo(i32Gizmo)->get_param(i32Param));
  }

  static std::vector<uint32_t> top_level_ids(const std::string& rPath) {
    std::vector<uint32_t> rIds;
    ChunkReaderC rReader(nullptr);
    EXPECT_EQ(CHUNK_OK, rReader.open(rPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
    while (rReader.open_chunk() == CHUNK_OK) {
      rIds.push_back(rReader.get_chunk_id());
      rReader.close_chunk();
    }
    return rIds;
  }

  PlayerC m_rPlayer;
};

// A handle without importable has no chunk, so the file after it is the
// document's second: the parameter that uses it must say so.
TEST_F(DocumentSavingTest, FileIndicesCountOnlyTheStoredFiles) {
  {
    OwnedT<ImportListC> pFiles(ImportListC::create_list());
    pFiles->add_handle(TestImportableC::make("a.png"));
    pFiles->add_handle(nullptr);
    ImportHandleC* pThird = pFiles->add_handle(TestImportableC::make("c.png"));
    OwnedT<SceneC> pScene(SceneC::create_scene());
    EffectBaseC* pRect = static_cast<EffectBaseC*>(m_rPlayer.get_class_registry()->create_object(TESTRECT_CLASS));
    pScene->add_layer()->add_effect(pRect);
    static_cast<FileParamC*>(pRect->get_gizmo(TESTRECT_GIZMO_ID)->get_param(TESTRECT_PARAM_SOURCE))->set_file(pThird);
    const std::string sMusic = "m.ogg";
    DocumentContentS rContent{pFiles.get(), pScene.get(), &sMusic,
                              {{CLASS_OPENGL_DEVICEDRIVER, "OpenGL Device Driver", {}}}};
    ASSERT_EQ(CHUNK_OK, save_document(path("saved.doc").c_str(), rContent));
  }
  EXPECT_EQ((std::vector<uint32_t>{0x1000, 0x1000, 0x2000, 0x4000, 0x5000}), top_level_ids(path("saved.doc")));
  ASSERT_EQ(0, m_rPlayer.load(path("saved.doc").c_str()));
  ImportHandleC* pSource = file_param(0, 0, TESTRECT_GIZMO_ID, TESTRECT_PARAM_SOURCE)->get_file();
  ASSERT_NE(nullptr, pSource);
  EXPECT_STREQ("c.png", pSource->get_importable()->get_file_name());
  EXPECT_EQ("m.ogg", m_rPlayer.get_music_file_name());
  EXPECT_NE(nullptr, m_rPlayer.get_device_table()->find_by_class(CLASS_OPENGL_DEVICEDRIVER));
}

// What build makes is what the player plays: files under the names written,
// parameters pointing at them, the frame rate set by the effect.
TEST_F(DocumentSavingTest, ThePlayerLoadsWhatBuildMade) {
  write_text(path("play.json"), R"({
    "files": [ {"file_name": "raw.avi"}, {"file_name": "media/clip.avi", "copy": "mjpeg.avi"} ],
    "scene": { "layers": [ {"effects": [ {"class": "Video Player", "params": {"Attributes": {"Video": 1}}} ]} ] },
    "music": "tune.ogg" })");
  DocRunS rBuild = build("play.json", "play.doc");
  ASSERT_EQ(0, rBuild.m_iExitCode) << rBuild.m_sErr;
  ASSERT_EQ(0, m_rPlayer.load(path("play.doc").c_str()));
  ASSERT_EQ(2, m_rPlayer.get_import_list()->get_handle_count());
  ImportHandleC* pVideo = file_param(0, 0, 1, 3)->get_file();
  ASSERT_NE(nullptr, pVideo);
  EXPECT_STREQ("media/clip.avi", pVideo->get_importable()->get_file_name());
  EXPECT_STREQ("32 x 32 x 24BPP @ 5.0 FPS", pVideo->get_importable()->get_info());
  float f32Fps = 0.0f;
  m_rPlayer.get_scene()->get_layer(0)->get_effect(0)->get_gizmo(2)->get_param(0)->get_value(0, &f32Fps);
  EXPECT_EQ(5.0f, f32Fps);
  EXPECT_EQ("tune.ogg", m_rPlayer.get_music_file_name());
}

}  // namespace
