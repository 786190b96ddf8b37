#include <gtest/gtest.h>

#include "player/offlinerenderc.h"
#include "player/pngframesc.h"
#include "tests/support/owned.h"
#include "tests/support/testdriverc.h"

namespace {

TEST(OfflineRender, LayoutsNoFrameCanHoldAreRefusedBeforeAnyAllocation) {
  OwnedT<TestDriverC> pDriver(TestDriverC::make());
  for (const auto& rSize : {std::pair<int32_t, int32_t>{0, 48}, {64, -1}, {100000, 100000}}) {
    PngFramesC rFrames("frames");
    OfflineRenderC rRender(&rFrames, 24);
    OfflinePresentationS rPresentation;
    rPresentation.m_i32LayoutWidth = rSize.first;
    rPresentation.m_i32LayoutHeight = rSize.second;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(rRender.attach(pDriver.get(), rPresentation));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("cannot be rendered"));
    EXPECT_TRUE(rRender.has_failed());
  }
}

}  // namespace
