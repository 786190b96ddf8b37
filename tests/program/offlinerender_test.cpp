#include <gtest/gtest.h>

#include <vector>

#include "player/offlinerenderc.h"
#include "player/playerc.h"
#include "player/pngframesc.h"
#include "corelib/ownedobject.h"
#include "tests/support/presentationfile.h"
#include "tests/support/testdriverc.h"

namespace {

// Notes the class of each driver it is attached to and ends the run at the
// first frame.
class AttachRecordC : public FrameSinkC {
 public:
  bool attach(DeviceDriverBaseC* pDriver, const OfflinePresentationS&) override {
    m_rAttached.push_back(pDriver->get_class_ident());
    return true;
  }
  int32_t get_frame_time_ms() const override { return 0; }
  bool write_frame() override { return false; }

  std::vector<ClassIdentC> m_rAttached;
};

TEST(OfflineRender, LayoutsNoFrameCanHoldAreRefusedBeforeAnyAllocation) {
  OwnedT<TestDriverC> pDriver(TestDriverC::make());
  for (const auto& rSize : {std::pair<int32_t, int32_t>{0, 48}, {64, -1}, {100000, 100000}}) {
    PngFramesC rFrames("frames");
    OfflineRenderC rRender(&rFrames, FrameRateS{24, 1});
    OfflinePresentationS rPresentation;
    rPresentation.m_i32LayoutWidth = rSize.first;
    rPresentation.m_i32LayoutHeight = rSize.second;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(rRender.attach(pDriver.get(), rPresentation));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("cannot be rendered"));
    EXPECT_TRUE(rRender.has_failed());
  }
}

// The frame loop draws with the document's first graphics device: its frames
// are the ones to read, and a second device must not open the output again.
TEST(OfflineRender, OnlyTheDeviceTheFramesAreDrawnWithIsAttached) {
  const ClassIdentC rFirst(0x7E57D21F, 0x00000011);
  const ClassIdentC rSecond(0x7E57D21F, 0x00000012);
  TestDriverDescC rFirstDesc(rFirst, "First Driver");
  TestDriverDescC rSecondDesc(rSecond, "Second Driver");
  PlayerC rPlayer;
  rPlayer.get_class_registry()->register_internal(&rFirstDesc);
  rPlayer.get_class_registry()->register_internal(&rSecondDesc);
  ASSERT_TRUE(rPlayer.init(nullptr, false));
  OwnedT<SceneC> pScene(SceneC::create_scene());
  TempFileC rFile;
  write_document(rFile, [&](ChunkWriterC& rWriter) {
    write_scene_chunk(rWriter, pScene.get());
    write_class_chunk(rWriter, 0x5000, rFirst, "First Driver", nullptr);
    write_class_chunk(rWriter, 0x5000, rSecond, "Second Driver", nullptr);
  });
  ASSERT_EQ(0, rPlayer.load(rFile.path()));
  AttachRecordC rRecord;
  rPlayer.set_offline_render(&rRecord);
  EXPECT_EQ(0, rPlayer.run());
  EXPECT_EQ(std::vector<ClassIdentC>{rFirst}, rRecord.m_rAttached);
  EXPECT_EQ(1, rFirstDesc.m_i32MadeCount);
  EXPECT_EQ(1, rSecondDesc.m_i32MadeCount);
}

}  // namespace
