#include <gtest/gtest.h>

#include <string>

#include "player/presentationtime.h"
#include "tests/making/makingtestc.h"

namespace {

class TransportTest : public MakingTestC {
 protected:
  PlaybackClockC* clock() { return m_rPlayer.get_clock(); }
  // The clock's time as ticks, as the frame loop reads it.
  int32_t clock_ticks() { return ms_to_ticks(clock()->get_time(), TICKS); }
};

const char* const MARKERS =
    "[{\"position\": 100, \"label\": \"Intro\"}, {\"position\": 1000, \"label\": \"Drop\"},"
    " {\"position\": 3000, \"label\": \"Outro\"}]";

TEST_F(TransportTest, PauseHoldsTheFrameTimeAndTheMusic) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS, "[]", file("tone.wav")));
  int32_t i32Paused = 0;
  int32_t i32MusicMs = 0;
  m_rScript
      .then(200,
            [&](int32_t) {
              EXPECT_TRUE(clock()->is_streaming());
              m_rScript.press(SDLK_SPACE);
            })
      .then(0,
            [&](int32_t i32Time) {
              i32Paused = i32Time;
              i32MusicMs = clock()->get_time();
              EXPECT_TRUE(clock()->is_paused());
            })
      .then(300,
            [&](int32_t i32Time) {
              EXPECT_EQ(i32Paused, i32Time);
              EXPECT_EQ(i32MusicMs, clock()->get_time());
              EXPECT_NE(std::string::npos, m_rScript.title().find("paused")) << m_rScript.title();
              m_rScript.press(SDLK_SPACE);
            })
      .then(300, [&](int32_t i32Time) {
        // The music goes on from where it was held, and the clock with it
        // (bounds wide enough for a busy machine).
        EXPECT_GT(i32Time, i32Paused);
        EXPECT_LT(i32Time, i32Paused + 2 * TICKS);
        EXPECT_LT(std::abs(clock()->get_music_drift_ms()), 250);
      });
  play();
}

TEST_F(TransportTest, SeeksAndMarkerJumpsLandOnTheirTickAndMoveTheMusic) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS, MARKERS, file("tone.wav")));
  auto expect_at = [this](int32_t i32Want) {
    return [this, i32Want](int32_t i32Time) {
      EXPECT_EQ(i32Want, i32Time);
      EXPECT_EQ(ticks_to_ms(i32Want, TICKS), clock()->get_time());
    };
  };
  // Paused first, so every seek shows exactly its target on the next frame.
  m_rScript.then(0, [&](int32_t) { m_rScript.press(SDLK_SPACE); })
      .then(0, [&](int32_t) {
        EXPECT_TRUE(clock()->is_paused());
        m_rScript.press(SDLK_HOME);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(0)(i32Time);
        m_rScript.press(SDLK_RIGHT);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(TICKS)(i32Time);
        m_rScript.press(SDLK_RIGHT, true);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(11 * TICKS)(i32Time);
        m_rScript.press(SDLK_LEFT);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(10 * TICKS)(i32Time);
        m_rScript.press(SDLK_LEFT, true);
        m_rScript.press(SDLK_LEFT, true);
      })
      .then(0, [&](int32_t) {})
      .then(0, [&](int32_t i32Time) {
        // Not before the start.
        expect_at(0)(i32Time);
        m_rScript.press(SDLK_PAGEDOWN);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(100)(i32Time);
        m_rScript.press(SDLK_PAGEDOWN);
      })
      .then(300, [&](int32_t i32Time) {
        expect_at(1000)(i32Time);
        EXPECT_NE(std::string::npos, m_rScript.title().find("3.91 s (1000t) - Drop")) << m_rScript.title();
        // Right on a marker, Page Up goes to the one before.
        m_rScript.press(SDLK_PAGEUP);
      })
      .then(0, [&](int32_t i32Time) {
        expect_at(100)(i32Time);
        m_rScript.press(SDLK_PAGEUP);
      })
      .then(0, [&](int32_t i32Time) {
        // No marker before the first: it stays.
        expect_at(100)(i32Time);
        m_rScript.press(SDLK_SPACE);
        m_rScript.press(SDLK_RIGHT);
      })
      .then(0, [&](int32_t i32Time) {
        // Playing, a seek shows its target, plus what has played since, on
        // the next frame.
        EXPECT_GE(i32Time, 100 + TICKS);
        EXPECT_LT(i32Time, 100 + TICKS + TICKS / 4);
        EXPECT_TRUE(clock()->is_streaming());
      });
  play();
}

TEST_F(TransportTest, ALoopRepeatsItsSpan) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS));
  PlaybackControlS rControl;
  rControl.m_bLoop = true;
  rControl.m_i32LoopFrom = TICKS;
  rControl.m_i32LoopTo = TICKS + TICKS / 8;  // 125 ms
  rControl.m_i32StartPosition = TICKS;
  const std::vector<int32_t>& rFrames = m_rScript.frames();
  auto wraps = [&rFrames] {
    int32_t i32Wraps = 0;
    for (size_t u = 1; u < rFrames.size(); ++u) {
      i32Wraps += rFrames[u] < rFrames[u - 1] ? 1 : 0;
    }
    return i32Wraps;
  };
  // A loaded machine draws few frames: wait for the wraps rather than a fixed time.
  m_rScript.when([&wraps] { return wraps() >= 3; }, 20000, [](int32_t) {});
  play(rControl);
  for (int32_t i32Frame : rFrames) {
    EXPECT_GE(i32Frame, rControl.m_i32LoopFrom);
    EXPECT_LT(i32Frame, rControl.m_i32LoopTo);
  }
  EXPECT_GE(wraps(), 3);
}

// A seek to the end or past it holds the end frame instead of ending the
// presentation at the next; a seek back plays on. Home goes to the loop's start.
TEST_F(TransportTest, SeeksPastTheEndHoldTheEndFrame) {
  load(rect_description("[1, 0, 0, 1]", 2 * TICKS));
  m_rScript.then(100, [&](int32_t) { m_rScript.press(SDLK_RIGHT, true); })
      .then(300,
            [&](int32_t i32Time) {
              EXPECT_EQ(2 * TICKS, i32Time);
              EXPECT_TRUE(clock()->is_paused());
              m_rScript.press(SDLK_LEFT);
            })
      .then(200, [&](int32_t i32Time) {
        EXPECT_FALSE(clock()->is_paused());
        EXPECT_GE(i32Time, TICKS);
        EXPECT_LT(i32Time, 2 * TICKS);
      });
  play();
}

TEST_F(TransportTest, HomeGoesToTheLoopsStart) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS));
  PlaybackControlS rControl;
  rControl.m_bLoop = true;
  rControl.m_i32LoopFrom = 4 * TICKS;
  rControl.m_i32LoopTo = 8 * TICKS;
  rControl.m_i32StartPosition = 6 * TICKS;
  m_rScript.then(50, [&](int32_t) { m_rScript.press(SDLK_HOME); })
      .then(0, [&](int32_t i32Time) {
        EXPECT_GE(i32Time, 4 * TICKS);
        EXPECT_LT(i32Time, 5 * TICKS);
      });
  play(rControl);
}

TEST_F(TransportTest, PlayingStartsAtTheStartGivenInEachForm) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS, MARKERS));
  for (const char* szStart : {"2.5", "700t", "Drop"}) {
    PresentationTimeS rTime;
    std::string sError;
    ASSERT_TRUE(parse_presentation_time(szStart, &rTime, &sError)) << sError;
    int32_t i32Start = -1;
    ASSERT_TRUE(resolve_presentation_time(rTime, m_rPlayer.get_scene(), &i32Start, &sError)) << sError;
    EXPECT_EQ(std::string(szStart) == "2.5" ? 640 : std::string(szStart) == "700t" ? 700 : 1000, i32Start);
  }
  PlaybackControlS rControl;
  rControl.m_i32StartPosition = 640;
  int32_t i32First = -1;
  m_rScript.then(0, [&](int32_t i32Time) { i32First = i32Time; });
  play(rControl);
  EXPECT_GE(i32First, 640);
  EXPECT_LT(i32First, 640 + TICKS / 4);
}

TEST(PresentationTime, FormsAndMistakes) {
  PresentationTimeS rTime;
  std::string sError;
  ASSERT_TRUE(parse_presentation_time("12.5", &rTime, &sError));
  EXPECT_EQ(PresentationTimeS::SECONDS, rTime.m_eKind);
  EXPECT_DOUBLE_EQ(12.5, rTime.m_f64Seconds);
  ASSERT_TRUE(parse_presentation_time("4096t", &rTime, &sError));
  EXPECT_EQ(PresentationTimeS::TICKS, rTime.m_eKind);
  EXPECT_EQ(4096, rTime.m_i32Ticks);
  // Anything else names a marker, even what looks nearly like a number.
  for (const char* szLabel : {"Intro", "1e3", "-1", "12.5.1", "t"}) {
    ASSERT_TRUE(parse_presentation_time(szLabel, &rTime, &sError));
    EXPECT_EQ(PresentationTimeS::MARKER, rTime.m_eKind) << szLabel;
    EXPECT_EQ(szLabel, rTime.m_sLabel);
  }
  EXPECT_FALSE(parse_presentation_time("", &rTime, &sError));
  EXPECT_FALSE(parse_presentation_time("99999999999t", &rTime, &sError));
  PresentationSpanS rSpan;
  ASSERT_TRUE(parse_presentation_span("Intro:20.5", &rSpan, &sError));
  EXPECT_EQ("Intro", rSpan.m_rFrom.m_sLabel);
  EXPECT_DOUBLE_EQ(20.5, rSpan.m_rTo.m_f64Seconds);
  EXPECT_FALSE(parse_presentation_span("12", &rSpan, &sError));
  EXPECT_FALSE(parse_presentation_span("12:", &rSpan, &sError));
}

TEST(PresentationTime, MinutesSecondsAndSpansBetweenThem) {
  PresentationTimeS rTime;
  std::string sError;
  const struct {
    const char* m_szText;
    double m_f64Seconds;
  } rClocks[] = {{"1:30", 90.0}, {"0:02.5", 2.5}, {"1:00:00", 3600.0}, {"2:03:04.25", 7384.25}, {"75:00", 4500.0}};
  for (const auto& rClock : rClocks) {
    ASSERT_TRUE(parse_presentation_time(rClock.m_szText, &rTime, &sError)) << rClock.m_szText;
    EXPECT_EQ(PresentationTimeS::SECONDS, rTime.m_eKind) << rClock.m_szText;
    EXPECT_DOUBLE_EQ(rClock.m_f64Seconds, rTime.m_f64Seconds) << rClock.m_szText;
  }
  EXPECT_FALSE(parse_presentation_time("1:60", &rTime, &sError));
  EXPECT_NE(std::string::npos, sError.find("below 60")) << sError;
  EXPECT_FALSE(parse_presentation_time("1:75:00", &rTime, &sError));
  // Labels that hold a colon stay labels.
  for (const char* szLabel : {"Part 2: Drop", "1:2:3:4", "a:30", ":30"}) {
    ASSERT_TRUE(parse_presentation_time(szLabel, &rTime, &sError)) << szLabel;
    EXPECT_EQ(PresentationTimeS::MARKER, rTime.m_eKind) << szLabel;
  }
  PresentationSpanS rSpan;
  ASSERT_TRUE(parse_presentation_span("1:30..2:00.5", &rSpan, &sError));
  EXPECT_DOUBLE_EQ(90.0, rSpan.m_rFrom.m_f64Seconds);
  EXPECT_DOUBLE_EQ(120.5, rSpan.m_rTo.m_f64Seconds);
  ASSERT_TRUE(parse_presentation_span("Part 2: Drop..Part 3: Outro", &rSpan, &sError));
  EXPECT_EQ("Part 2: Drop", rSpan.m_rFrom.m_sLabel);
  EXPECT_EQ("Part 3: Outro", rSpan.m_rTo.m_sLabel);
  ASSERT_TRUE(parse_presentation_span("1.5..4096t", &rSpan, &sError));
  EXPECT_DOUBLE_EQ(1.5, rSpan.m_rFrom.m_f64Seconds);
  EXPECT_EQ(4096, rSpan.m_rTo.m_i32Ticks);
}

TEST(Transport, MarkersToJumpTo) {
  const std::vector<int32_t> rMarkers = {100, 1000, 3000};
  EXPECT_FALSE(previous_marker(rMarkers, 100, 0));
  EXPECT_EQ(100, previous_marker(rMarkers, 101, 0));
  EXPECT_EQ(100, previous_marker(rMarkers, 1100, 128));  // within the grace of 1000
  EXPECT_EQ(1000, previous_marker(rMarkers, 1129, 128));
  EXPECT_EQ(100, next_marker(rMarkers, 0));
  EXPECT_EQ(1000, next_marker(rMarkers, 100));
  EXPECT_FALSE(next_marker(rMarkers, 3000));
}

TEST(Clock, TicksBecomeTheFirstMillisecondOfTheirTick) {
  for (const double f64TicksPerSecond : {256.0, 2048.0, 150.0 * 3 * 256 / 60}) {
    for (const int32_t i32Ticks : {0, 1, 255, 256, 1000, 4097, 123457}) {
      const int64_t i64Ms = ticks_to_ms(i32Ticks, f64TicksPerSecond);
      EXPECT_GE(ms_to_ticks(static_cast<int32_t>(i64Ms), f64TicksPerSecond), i32Ticks);
      // The presentation's own milliseconds start at 0.
      EXPECT_TRUE(i64Ms == 0 || ms_to_ticks(static_cast<int32_t>(i64Ms - 1), f64TicksPerSecond) < i32Ticks);
    }
  }
  EXPECT_EQ(0, ticks_to_ms(100, 0.0));
}

}  // namespace
