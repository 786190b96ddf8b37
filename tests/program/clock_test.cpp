#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

#include "player/playbackclockc.h"
#include "player/playerc.h"

namespace {

TEST(Clock, CounterModeCountsMillisecondsFromTheStart) {
  PlaybackClockC rClock;
  rClock.start_clock(2048.0);
  const int32_t i32First = rClock.get_time();
  EXPECT_GE(i32First, 0);
  EXPECT_LT(i32First, 50);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int32_t i32Later = rClock.get_time();
  // Sleeping gives at least the time asked for; the upper bound is generous
  // for a loaded machine.
  EXPECT_GE(i32Later - i32First, 300);
  EXPECT_LT(i32Later - i32First, 2000);
  EXPECT_FALSE(rClock.is_streaming());
}

TEST(Clock, MillisecondsBecomeTicksTruncatedAndBounded) {
  // 120 beats per minute, 4 units: 2048 ticks per second.
  EXPECT_EQ(2048, ms_to_ticks(1000, 2048.0));
  EXPECT_EQ(2, ms_to_ticks(1, 2048.0));  // 2.048 truncated
  EXPECT_EQ(-2, ms_to_ticks(-1, 2048.0));
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), ms_to_ticks(std::numeric_limits<int32_t>::max(), 2048.0));
  EXPECT_EQ(std::numeric_limits<int32_t>::min(), ms_to_ticks(std::numeric_limits<int32_t>::min(), 2048.0));
}

TEST(Clock, MusicNamesFromOtherSystemsFallBackToTheBareName) {
  EXPECT_EQ("tune.mp3", bare_file_name("C:\\demo\\tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("/home/me/music/tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("C:tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("tune.mp3"));
  EXPECT_EQ("", bare_file_name("music\\"));
}

TEST(Clock, SoundErrorsHaveTheirTexts) {
  EXPECT_STREQ("No errors", sound_error_text(0));
  EXPECT_STREQ("Error initializing output device.", sound_error_text(3));
  EXPECT_STREQ("Not enough memory ", sound_error_text(12));
  EXPECT_STREQ("Required Mediaplayer codec is not installed", sound_error_text(19));
  EXPECT_STREQ("Unknown error", sound_error_text(20));
  EXPECT_STREQ("Unknown error", sound_error_text(-1));
}

}  // namespace
