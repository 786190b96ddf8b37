#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <thread>
#include <vector>

#include "player/frametimingc.h"
#include "player/playbackclockc.h"
#include "player/playerc.h"
#include "tests/support/tempdirectoryc.h"

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

// A WAV file of silence: 44100 Hz, 16-bit stereo.
void write_silence(const std::string& rPath, int32_t i32Ms) {
  const uint32_t ui32DataSize = static_cast<uint32_t>(44100 * 4 * i32Ms / 1000);
  std::vector<uint8_t> rBytes(44 + ui32DataSize, 0);
  auto put32 = [&](size_t uAt, uint32_t ui32Value) { std::memcpy(&rBytes[uAt], &ui32Value, 4); };
  auto put16 = [&](size_t uAt, uint16_t ui16Value) { std::memcpy(&rBytes[uAt], &ui16Value, 2); };
  std::memcpy(&rBytes[0], "RIFF", 4);
  put32(4, 36 + ui32DataSize);
  std::memcpy(&rBytes[8], "WAVEfmt ", 8);
  put32(16, 16);
  put16(20, 1);  // PCM
  put16(22, 2);
  put32(24, 44100);
  put32(28, 44100 * 4);
  put16(32, 4);
  put16(34, 16);
  std::memcpy(&rBytes[36], "data", 4);
  put32(40, ui32DataSize);
  std::ofstream(rPath, std::ios::binary).write(reinterpret_cast<const char*>(rBytes.data()),
                                               static_cast<std::streamsize>(rBytes.size()));
}

TEST(Clock, StreamModeFollowsTheMusicFoundByItsBareName) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TempDirectoryC rDirectory;
  write_silence(rDirectory.file("tune.wav"), 2000);
  char szStart[4096];
  ASSERT_NE(nullptr, getcwd(szStart, sizeof(szStart)));
  ASSERT_EQ(0, chdir(rDirectory.path().c_str()));
  {
    PlaybackClockC rClock;
    // Stored on another system: only the bare name is found, here.
    EXPECT_TRUE(rClock.open_music("C:\\demo\\tune.wav"));
    EXPECT_TRUE(rClock.is_streaming());
    rClock.start_clock(2048.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const int32_t i32Played = rClock.get_time();
    EXPECT_GT(i32Played, 100);
    EXPECT_LT(i32Played, 2000);
    rClock.stop_music();
  }
  {
    PlaybackClockC rClock;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(rClock.open_music("missing.wav", "show"));
    EXPECT_EQ("tiravo: the music missing.wav cannot be played (File not found; tried show/missing.wav, missing.wav): "
              "playing without sound, timed by the clock\n",
              testing::internal::GetCapturedStderr());
    EXPECT_FALSE(rClock.is_streaming());
  }
  ASSERT_EQ(0, chdir(szStart));
}

TEST(Clock, MillisecondsBecomeTicksTruncatedAndBounded) {
  // 120 beats per minute, 4 units: 2048 ticks per second.
  EXPECT_EQ(2048, ms_to_ticks(1000, 2048.0));
  EXPECT_EQ(2, ms_to_ticks(1, 2048.0));  // 2.048 truncated
  EXPECT_EQ(-2, ms_to_ticks(-1, 2048.0));
  EXPECT_EQ(std::numeric_limits<int32_t>::max(), ms_to_ticks(std::numeric_limits<int32_t>::max(), 2048.0));
  EXPECT_EQ(std::numeric_limits<int32_t>::min(), ms_to_ticks(std::numeric_limits<int32_t>::min(), 2048.0));
}

TEST(Clock, APresentationLastsUntilTheFirstMillisecondPastItsEnd) {
  // 256 ticks per second: tick 257 begins at 1003.90625 ms, tick 1 at 3.90625.
  EXPECT_EQ(1004, presentation_end_ms(256, 256.0));
  EXPECT_EQ(4, presentation_end_ms(0, 256.0));
  // 2048 ticks per second: tick 2049 begins at 1000.49 ms.
  EXPECT_EQ(1001, presentation_end_ms(2048, 2048.0));
  // Already past at 0 ms.
  EXPECT_EQ(0, presentation_end_ms(-1, 256.0));
  // Never past: no tempo, or an end no tick can pass.
  EXPECT_EQ(-1, presentation_end_ms(0, 0.0));
  EXPECT_EQ(-1, presentation_end_ms(std::numeric_limits<int32_t>::max(), 2048.0));
}

// The frames an offline run expects are the ones the frame loop draws: every
// k whose time k × 1000 / fps, in ticks, is not past the end.
TEST(Clock, OfflineFrameCountIsWhatTheFrameLoopDraws) {
  for (const double f64TicksPerSecond : {256.0, 2048.0, 150.0 * 3 * 256 / 60}) {
    for (const int32_t i32EndTime : {-5, 0, 1, 255, 256, 1000, 12345}) {
      for (const int32_t i32Fps : {1, 7, 24, 25, 30, 60, 1000}) {
        int64_t i64Drawn = 0;
        while (ms_to_ticks(static_cast<int32_t>(i64Drawn * 1000 / i32Fps), f64TicksPerSecond) <= i32EndTime) {
          ++i64Drawn;
        }
        const FrameTimingC rTiming(FrameRateS{i32Fps, 1}, presentation_end_ms(i32EndTime, f64TicksPerSecond));
        EXPECT_EQ(i64Drawn, rTiming.get_end_frame())
            << f64TicksPerSecond << " ticks/s, end " << i32EndTime << ", " << i32Fps << " fps";
      }
    }
  }
  EXPECT_EQ(-1, FrameTimingC(FrameRateS{60, 1}, -1).get_end_frame());
}

// 30000/1001 frames a second: frame k at k × 1001 / 30 ms, its sound from
// k × 44100 × 1001 / 30000; pieces of a render meet at a frame's start.
TEST(Clock, FractionalRatesAndTheSoundOfSpans) {
  const FrameRateS rNtsc{30000, 1001};
  const FrameTimingC rWhole(rNtsc, 4001);
  EXPECT_EQ(33, rWhole.frame_time_ms(1));
  EXPECT_EQ(4004, rWhole.frame_time_ms(120));
  EXPECT_EQ(120, rWhole.get_end_frame());  // frame 119 at 3970 ms is the last before 4001
  EXPECT_EQ(1471, rWhole.frame_start_sample(1, 44100));
  EXPECT_EQ(176444, rWhole.sound_end_sample(44100));  // the presentation's 4001 ms
  // A span ending at 410 ms: frames 0 to 12 (400 ms); its sound ends where
  // frame 13 begins, at 433 ms, where the next span's begins.
  const FrameTimingC rFirst(FrameRateS{30, 1}, 4001, 0, 410);
  const FrameTimingC rSecond(FrameRateS{30, 1}, 4001, 410);
  EXPECT_EQ(13, rFirst.get_end_frame());
  EXPECT_EQ(13, rSecond.get_first_frame());
  EXPECT_EQ(19110, rFirst.sound_end_sample(44100));
  EXPECT_EQ(rFirst.sound_end_sample(44100), rSecond.frame_start_sample(rSecond.get_first_frame(), 44100));
  EXPECT_EQ(rWhole.sound_end_sample(44100), FrameTimingC(rNtsc, 4001, 2000).sound_end_sample(44100));
  // A `to` at the end or past it is the whole's end.
  EXPECT_EQ(rWhole.get_end_frame(), FrameTimingC(rNtsc, 4001, 2000, 9000).get_end_frame());
}

TEST(Clock, MusicNamesFromOtherSystemsFallBackToTheBareName) {
  EXPECT_EQ("tune.mp3", bare_file_name("C:\\demo\\tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("/home/me/music/tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("C:tune.mp3"));
  EXPECT_EQ("tune.mp3", bare_file_name("tune.mp3"));
  EXPECT_EQ("", bare_file_name("music\\"));
}

TEST(Clock, MusicIsLookedForBesideTheDocumentThenWhereItAlwaysWas) {
  using NamesT = std::vector<std::string>;
  EXPECT_EQ((NamesT{"show/music/tune.ogg", "show/tune.ogg", "music/tune.ogg", "tune.ogg"}),
            music_file_candidates("music/tune.ogg", "show"));
  EXPECT_EQ((NamesT{"show/tune.ogg", "tune.ogg"}), music_file_candidates("tune.ogg", "show/"));
  EXPECT_EQ((NamesT{"/srv/tune.ogg", "C:\\demo\\tune.ogg", "tune.ogg"}),
            music_file_candidates("C:\\demo\\tune.ogg", "/srv"));
  // An absolute name is not made relative; a document here adds nothing.
  EXPECT_EQ((NamesT{"show/tune.ogg", "/music/tune.ogg", "tune.ogg"}), music_file_candidates("/music/tune.ogg", "show"));
  EXPECT_EQ((NamesT{"music/tune.ogg", "tune.ogg"}), music_file_candidates("music/tune.ogg", ""));
  EXPECT_EQ("show", document_folder("show/show.json"));
  EXPECT_EQ("", document_folder("show.json"));
  EXPECT_EQ("/", document_folder("/show.json"));
  EXPECT_EQ("tiravo: the music t.ogg cannot be played (File not found; tried a/t.ogg, t.ogg): silence\n",
            music_not_found_text("t.ogg", {"a/t.ogg", "t.ogg"}, 9, "silence"));
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
