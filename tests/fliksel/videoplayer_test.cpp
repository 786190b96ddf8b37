#include <gtest/gtest.h>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/fileparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmobasec.h"
#include "corelib/importhandlec.h"
#include "corelib/timebasec.h"
#include "corelib/vector2paramc.h"
#include "tests/fliksel/flikseltest.h"

namespace {

class VideoPlayerTest : public FlikselTest {
 protected:
  void SetUp() override {
    load_plugins();
    m_pEffect = create<EffectBaseC>(VIDEO_PLAYER_CLASS);
  }

  void show(GraphicsImportableC* pVideo) {
    m_pHandle->set_importable(pVideo);
    m_pEffect->set_default_file(m_pHandle.get());
  }

  void set_transform(const Vector2C& rPosition, const Vector2C& rPivot, float f32Rotation, const Vector2C& rScale) {
    GizmoBaseC* pTransform = m_pEffect->get_gizmo(0);
    static_cast<Vector2ParamC*>(pTransform->get_param(0))->set_value(0, rPosition);
    static_cast<Vector2ParamC*>(pTransform->get_param(1))->set_value(0, rPivot);
    pTransform->get_param(2)->set_value(0, &f32Rotation);
    static_cast<Vector2ParamC*>(pTransform->get_param(3))->set_value(0, rScale);
    m_pEffect->evaluate(0, &m_rTiming);
  }

  void expect_maps(const Vector2C& rFrom, const Vector2C& rTo) {
    const Vector2C rMapped = m_pEffect->get_transform().transform(rFrom);
    EXPECT_NEAR(rTo.m_f32X, rMapped.m_f32X, 1e-4) << rFrom.m_f32X << ", " << rFrom.m_f32Y;
    EXPECT_NEAR(rTo.m_f32Y, rMapped.m_f32Y, 1e-4) << rFrom.m_f32X << ", " << rFrom.m_f32Y;
  }

  void expect_box(const Vector2C& rMin, const Vector2C& rMax) {
    const Box2C rBox = m_pEffect->get_bbox();
    EXPECT_NEAR(rMin.m_f32X, rBox.m_rMin.m_f32X, 1e-4);
    EXPECT_NEAR(rMin.m_f32Y, rBox.m_rMin.m_f32Y, 1e-4);
    EXPECT_NEAR(rMax.m_f32X, rBox.m_rMax.m_f32X, 1e-4);
    EXPECT_NEAR(rMax.m_f32Y, rBox.m_rMax.m_f32Y, 1e-4);
  }

  TimeBaseC m_rTiming{120, 4, 2};
  OwnedT<EffectBaseC> m_pEffect;
  OwnedT<ImportHandleC> m_pHandle{ImportHandleC::create_handle()};
};

TEST_F(VideoPlayerTest, CornersFollowPivotRotationScaleAndPosition) {
  // Without a video the quad is 50 × 50 about the origin.
  m_pEffect->evaluate(1234, &m_rTiming);
  expect_box(Vector2C(-25, -25), Vector2C(25, 25));
  EXPECT_TRUE(m_pEffect->hit_test(Vector2C(24, -24)));
  EXPECT_FALSE(m_pEffect->hit_test(Vector2C(26, 0)));

  // Corner 0 moves by the pivot to (-15, -25), then turns half round.
  set_transform(Vector2C(0, 0), Vector2C(10, 0), 180.0f, Vector2C(1, 1));
  expect_maps(Vector2C(-25, -25), Vector2C(15, 25));
  expect_box(Vector2C(-35, -25), Vector2C(15, 25));

  // Turned by 45 degrees the square is a diamond of half diagonal 25 √2:
  // its box holds points that the quad does not.
  set_transform(Vector2C(0, 0), Vector2C(0, 0), 45.0f, Vector2C(1, 1));
  EXPECT_TRUE(m_pEffect->hit_test(Vector2C(34, 0)));
  EXPECT_FALSE(m_pEffect->hit_test(Vector2C(20, 20)));

  // On a 64 × 32 video, corner 1 (32, -16) turns to (16, 32), scales along
  // x to (32, 32) and moves to (132, 92).
  OwnedT<GraphicsImportableC> pVideo = import("solid.avi");
  show(pVideo.get());
  set_transform(Vector2C(100, 60), Vector2C(0, 0), 90.0f, Vector2C(2, 1));
  expect_maps(Vector2C(32, -16), Vector2C(132, 92));
  expect_maps(Vector2C(-32, 16), Vector2C(68, 28));
  expect_box(Vector2C(68, 28), Vector2C(132, 92));
  EXPECT_TRUE(m_pEffect->hit_test(Vector2C(131, 29)));
  EXPECT_FALSE(m_pEffect->hit_test(Vector2C(133, 60)));
}

TEST_F(VideoPlayerTest, PlayRateKeepsTheVideoTimeScaleInStep) {
  OwnedT<GraphicsImportableC> pVideo = import("solid.avi");
  GizmoBaseC* pTiming = m_pEffect->get_gizmo(2);
  FloatParamC* pFps = static_cast<FloatParamC*>(pTiming->get_param(0));
  FileParamC* pFile = static_cast<FileParamC*>(m_pEffect->get_gizmo(1)->get_param(3));
  const float f32Other = 7.0f;
  pFps->set_value(0, &f32Other);
  pFile->set_time_scale(3.0f);

  // A new video plays at its own rate, 25 frames per second.
  show(pVideo.get());
  EXPECT_EQ(m_pHandle.get(), pFile->get_file());
  float f32Fps = 0.0f;
  pFps->get_value(0, &f32Fps);
  EXPECT_EQ(25.0f, f32Fps);
  EXPECT_EQ(1.0f, pFile->get_time_scale());
  // Twice as fast, the video lasts half as long; below 1 the scale is 1.
  for (const auto& rCase : {std::pair<float, float>{50.0f, 0.5f}, {12.5f, 2.0f}, {0.5f, 1.0f}, {100.0f, 0.25f}}) {
    pFps->set_value(0, &rCase.first);
    EXPECT_EQ(rCase.second, pFile->get_time_scale()) << rCase.first;
  }
}

}  // namespace
