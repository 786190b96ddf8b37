#include <gtest/gtest.h>

#include "player/offlinerenderc.h"
#include "tests/support/owned.h"
#include "tests/support/testdriverc.h"

namespace {

TEST(OfflineRender, LayoutsNoFrameCanHoldAreRefusedBeforeAnyAllocation) {
  OwnedT<TestDriverC> pDriver(TestDriverC::make());
  for (const auto& rSize : {std::pair<int32_t, int32_t>{0, 48}, {64, -1}, {100000, 100000}}) {
    OfflineRenderC rRender("frames", 24);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(rRender.attach(pDriver.get(), rSize.first, rSize.second));
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("cannot be rendered"));
    EXPECT_TRUE(rRender.has_failed());
  }
}

}  // namespace
