#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "player/framestatsc.h"

namespace {

TEST(FrameStats, PercentilesTakeTheNearestRank) {
  EXPECT_EQ(0.0, percentile({}, 0.5));
  const std::vector<double> rTimes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(5.0, percentile(rTimes, 0.5));
  EXPECT_EQ(10.0, percentile(rTimes, 0.95));
  EXPECT_EQ(10.0, percentile(rTimes, 0.99));
  EXPECT_EQ(1.0, percentile(rTimes, 0.0));
  EXPECT_EQ(7.0, percentile({7}, 0.99));
}

TEST(FrameStats, FramesTimesAndLateFramesWithoutMusic) {
  PlaybackClockC rClock;
  FrameStatsC rStats(&rClock);
  // Without an open output the refresh rate is assumed: 60 Hz, so frames
  // more than 33.3 ms apart are late.
  for (const int iGapMs : {0, 5, 5, 50, 5}) {
    usleep(static_cast<useconds_t>(iGapMs) * 1000);
    rStats.frame_drawn(0);
  }
  ASSERT_EQ(4u, rStats.frame_times().size());
  EXPECT_GE(rStats.frame_times()[2], 50.0);
  char szText[1024] = {};
  FILE* pOut = fmemopen(szText, sizeof(szText) - 1, "w");
  rStats.print(pOut);
  std::fclose(pOut);
  const std::string sText = szText;
  EXPECT_NE(std::string::npos, sText.find("frames drawn:           5\n")) << sText;
  EXPECT_NE(std::string::npos, sText.find("late frames:            1 (over 33.3 ms, twice the refresh interval "
                                          "at 60 Hz, assumed)\n"))
      << sText;
  EXPECT_NE(std::string::npos, sText.find("sound device drift:     no music played; the steady clock timed the presentation\n")) << sText;
}

}  // namespace
