// The video player effect's evaluation and play rate, without drawing.
#include <gtest/gtest.h>

#include "corelib/box2c.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importhandlec.h"
#include "corelib/timebasec.h"
#include "tests/fliksel/flikseltest.h"

namespace {

class VideoPlayerTest : public FlikselTest {
 protected:
  void SetUp() override { load_plugins(); }
};

// Without a video the quad is 50 × 50 about the origin: its corners bound it
// and it holds what lies inside them.
TEST_F(VideoPlayerTest, FreshEffectWithoutVideoIsAFiftyUnitSquare) {
  OwnedT<EffectBaseC> pEffect = create<EffectBaseC>(VIDEO_PLAYER_CLASS);
  TimeBaseC rTiming(120, 4, 2);
  for (const int32_t i32Time : {0, 777, -3000}) {
    pEffect->evaluate(i32Time, &rTiming);
    const Box2C rBox = pEffect->get_bbox();
    EXPECT_EQ(Vector2C(-25.0f, -25.0f), rBox.m_rMin) << i32Time;
    EXPECT_EQ(Vector2C(25.0f, 25.0f), rBox.m_rMax) << i32Time;
    for (const Vector2C& rInside : {Vector2C(-24.9f, -24.9f), Vector2C(24.9f, -24.9f), Vector2C(24.9f, 24.9f),
                                    Vector2C(-24.9f, 24.9f), Vector2C(0.0f, 0.0f)}) {
      EXPECT_TRUE(pEffect->hit_test(rInside)) << rInside.m_f32X << ", " << rInside.m_f32Y;
    }
    for (const Vector2C& rOutside : {Vector2C(-25.1f, 0.0f), Vector2C(25.1f, 0.0f), Vector2C(0.0f, 25.1f),
                                     Vector2C(0.0f, -25.1f)}) {
      EXPECT_FALSE(pEffect->hit_test(rOutside)) << rOutside.m_f32X << ", " << rOutside.m_f32Y;
    }
  }
}

// A video of 12.5 frames per second plays at its own rate; the "Video" time
// scale follows "FPS" as the video's rate over it, and is 1 below 1 FPS.
TEST_F(VideoPlayerTest, PlayRateOfAVideoAtTwelveAndAHalfFramesPerSecond) {
  OwnedT<GraphicsImportableC> pVideo = import("slow.avi");
  ASSERT_EQ(12.5f, pVideo->get_fps());
  OwnedT<ImportHandleC> pHandle(ImportHandleC::create_handle());
  pHandle->set_importable(pVideo.get());
  OwnedT<EffectBaseC> pEffect = create<EffectBaseC>(VIDEO_PLAYER_CLASS);
  pEffect->set_default_file(pHandle.get());
  auto* pFile = static_cast<FileParamC*>(pEffect->get_gizmo(1)->get_param(3));
  ParamBaseC* pFps = pEffect->get_gizmo(2)->get_param(0);
  float f32Fps = 0.0f;
  pFps->get_value(0, &f32Fps);
  EXPECT_EQ(12.5f, f32Fps);
  EXPECT_EQ(1.0f, pFile->get_time_scale());
  for (const auto& rCase : {std::pair<float, float>{25.0f, 0.5f}, {0.5f, 1.0f}}) {
    pFps->set_value(0, &rCase.first);
    EXPECT_EQ(rCase.second, pFile->get_time_scale()) << rCase.first;
  }
}

}  // namespace
