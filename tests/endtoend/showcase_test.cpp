#include <gtest/gtest.h>

#include <string>

#include "tests/endtoend/tiravoprocessc.h"
#include "tests/support/renderedframec.h"
#include "tests/support/tempdirectoryc.h"

namespace {

// The bundled example rendered at 10 frames per second: frame k shows the
// presentation at k × 100 ms, which is k × 204.8 ticks at its 2048 ticks per
// second. Its backdrop is four flat stripes stored losslessly, stretched over
// the whole 640 × 360 layout, so where nothing covers them their colours,
// tinted by the backdrop's "Fill Color" keys, are known exactly.
class ShowcaseTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_pFrames = new TempDirectoryC();
    TiravoProcessC rProcess;
    // The driver may leave Mesa's own allocations behind at exit.
    rProcess.set_variable("ASAN_OPTIONS", "detect_leaks=0");
    const TiravoProcessC::ResultS rResult = rProcess.run(
        TIRAVO_BUILD_DIR, {"--plugins", "plugins", "--render", s_pFrames->path(), "--fps", "10",
                           "examples/showcase.doc"});
    s_iExitCode = rResult.m_iExitCode;
    s_sError = rResult.m_sError;
  }
  static void TearDownTestSuite() {
    delete s_pFrames;
    s_pFrames = nullptr;
  }

  static RenderedFrameC frame_at_tenths(int32_t i32Tenths) { return RenderedFrameC(s_pFrames->path(), i32Tenths); }

  static TempDirectoryC* s_pFrames;
  static int s_iExitCode;
  static std::string s_sError;
};

TempDirectoryC* ShowcaseTest::s_pFrames = nullptr;
int ShowcaseTest::s_iExitCode = -1;
std::string ShowcaseTest::s_sError;

// The stripes' colours, left to right, and where their centres fall.
const RgbT NAVY = {30, 58, 138};
const RgbT AMBER = {224, 160, 48};
const RgbT GREEN = {32, 160, 96};
const RgbT CRIMSON = {192, 32, 64};
constexpr int32_t STRIPE_CENTRES[] = {80, 240, 400, 560};

TEST_F(ShowcaseTest, RendersEveryFrameToTheEndTime) {
  ASSERT_EQ(0, s_iExitCode) << s_sError;
  // End time 61440 ticks = 30 s: frames 0 to 300.
  EXPECT_EQ(640, frame_at_tenths(300).width());
  EXPECT_EQ(360, frame_at_tenths(300).height());
  EXPECT_EQ(0, frame_at_tenths(301).width());
}

// The first 3.5 s: the title "tiravo", typed in from 0.25 s to 1 s, white
// over the waves of the shader's band along the bottom 120 rows; from 3 s it
// fades, and at 4 s the stripes show there again.
TEST_F(ShowcaseTest, OpensWithItsTitleOverTheShader) {
  auto is_white = [](const RgbT& rPixel) { return rPixel[0] > 240 && rPixel[1] > 240 && rPixel[2] > 240; };
  auto white_pixels = [&](const RenderedFrameC& rFrame) {
    int32_t i32Count = 0;
    for (int32_t y = 30; y < 100; ++y) {
      for (int32_t x = 200; x < 440; ++x) {
        i32Count += is_white(rFrame.at(x, y)) ? 1 : 0;
      }
    }
    return i32Count;
  };
  EXPECT_EQ(0, white_pixels(frame_at_tenths(1))) << "not typed yet";
  EXPECT_GT(white_pixels(frame_at_tenths(15)), 300) << "the title's ink";
  const RenderedFrameC rTitle = frame_at_tenths(15);
  // The band is the shader's, not the stripes behind it.
  EXPECT_NE(rTitle.at(40, 110), frame_at_tenths(40).at(40, 110));
  EXPECT_NE(rTitle.at(40, 110), (RgbT{0, 0, 0}));
  EXPECT_EQ(0, white_pixels(frame_at_tenths(40)));
}

TEST_F(ShowcaseTest, OnlyTheBackdropShowsBeforeTheOtherLayersStart) {
  const RgbT rStripes[] = {NAVY, AMBER, GREEN, CRIMSON};
  const RenderedFrameC rStart = frame_at_tenths(0);
  // At 2 s the tint has reached its key (0.5, 0.5, 1).
  const RenderedFrameC rTinted = frame_at_tenths(20);
  for (int i = 0; i < 4; ++i) {
    const RgbT& rStripe = rStripes[i];
    expect_colour(rStripe, rStart.at(STRIPE_CENTRES[i], 180), "0 s, stripe " + std::to_string(i), 0);
    expect_colour({rStripe[0] / 2, rStripe[1] / 2, rStripe[2]}, rTinted.at(STRIPE_CENTRES[i], 180),
                  "2 s, stripe " + std::to_string(i), 0);
  }
}

TEST_F(ShowcaseTest, LayersSwitchOnAndOffWithTheirSegments) {
  // At 10 s the life layer (8 s to 28 s) covers its place on the left; a
  // corner no layer reaches shows the backdrop at half brightness.
  const RenderedFrameC rMiddle = frame_at_tenths(100);
  const RgbT rHalfAmber = {AMBER[0] / 2, AMBER[1] / 2, AMBER[2] / 2};
  EXPECT_NE(rHalfAmber, rMiddle.at(170, 180));
  expect_colour({CRIMSON[0] / 2, CRIMSON[1] / 2, CRIMSON[2] / 2}, rMiddle.at(620, 20), "10 s, corner", 0);
  // At 28 s the fractal (4 s to 26 s) and the life layer have ended.
  const RenderedFrameC rLate = frame_at_tenths(280);
  expect_colour(rHalfAmber, rLate.at(240, 180), "28 s, stripe 1", 0);
  expect_colour({GREEN[0] / 2, GREEN[1] / 2, GREEN[2] / 2}, rLate.at(400, 180), "28 s, stripe 2", 0);
}

// The movies: an H.264 MP4 at the top in the first seconds, and from 20 s a
// ring with transparency, through whose clear middle the backdrop shows
// untouched.
TEST_F(ShowcaseTest, MoviesShowAndTheRingIsClearInTheMiddle) {
  const RgbT rHalfCrimson = {CRIMSON[0] / 2, CRIMSON[1] / 2, CRIMSON[2] / 2};
  const RenderedFrameC rEarly = frame_at_tenths(40);
  EXPECT_NE(rEarly.at(240, 300), rEarly.at(240, 5));
  const RenderedFrameC rRing = frame_at_tenths(220);
  expect_colour(rHalfCrimson, rRing.at(560, 280), "22 s, the ring's middle", 0);
  expect_colour(rHalfCrimson, rRing.at(620, 340), "22 s, outside the ring", 0);
  EXPECT_NE(rHalfCrimson, rRing.at(560 + 44, 280));
  EXPECT_NE(rHalfCrimson, rRing.at(560, 280 - 44));
}

}  // namespace
