#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/filewatchc.h"
#include "player/presentationtime.h"
#include "tests/making/makingtestc.h"

namespace {

constexpr int COLOUR_TOLERANCE = 2;

void expect_near(const std::array<int, 3>& rWant, const std::array<int, 3>& rGot, const char* szWhat) {
  for (size_t c = 0; c < 3; ++c) {
    EXPECT_NEAR(rWant[c], rGot[c], COLOUR_TOLERANCE) << szWhat << ", channel " << c;
  }
}

const std::array<int, 3> RED = {255, 0, 0};
const std::array<int, 3> GREEN = {0, 255, 0};
const std::array<int, 3> BLUE = {0, 0, 255};

// How long a reload may take on a busy machine.
constexpr int64_t RELOAD_TIMEOUT_MS = 5000;

class ReloadTest : public MakingTestC {
 protected:
  void play_watching() {
    PlaybackControlS rControl;
    rControl.m_bWatch = true;
    play(rControl);
  }
};

TEST_F(ReloadTest, ASaveShowsTheNewContentAtTheSameTime) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS, "[]", file("tone.wav")));
  int32_t i32Paused = -1;
  SceneC* pOld = nullptr;
  auto reloaded = [&]() { return m_rPlayer.get_scene() != pOld; };
  m_rScript.then(100, [&](int32_t) { m_rScript.press(SDLK_SPACE); })
      .then(0,
            [&](int32_t i32Time) {
              i32Paused = i32Time;
              pOld = m_rPlayer.get_scene();
              expect_near(RED, drawn_pixel(20, 20), "before the save");
              save_text(file("show.json"), rect_description("[0, 0, 1, 1]", 20 * TICKS, "[]", file("tone.wav")));
            })
      .when(reloaded, RELOAD_TIMEOUT_MS, [&](int32_t) {})
      .then(0,
            [&](int32_t i32Time) {
              ASSERT_TRUE(reloaded());
              expect_near(BLUE, drawn_pixel(20, 20), "after the save");
              EXPECT_EQ(i32Paused, i32Time);
              EXPECT_TRUE(m_rPlayer.get_clock()->is_paused());
              m_rScript.press(SDLK_SPACE);
            })
      .when([&]() { return m_rPlayer.get_clock()->get_time() > ticks_to_ms(i32Paused, TICKS) + 50; },
            RELOAD_TIMEOUT_MS, [&](int32_t) {
              // The music went on from the same place, and the clock with it.
              EXPECT_GT(m_rPlayer.get_clock()->get_time(), ticks_to_ms(i32Paused, TICKS) + 50);
              EXPECT_LT(std::abs(m_rPlayer.get_clock()->get_music_drift_ms()), 250);
            });
  play_watching();
}

TEST_F(ReloadTest, ABrokenSaveKeepsTheOldPresentationUntilTheNextGoodOne) {
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS));
  testing::internal::CaptureStderr();
  SceneC* pOld = m_rPlayer.get_scene();
  auto failed = [&]() { return m_rScript.title().find("reload failed: ") != std::string::npos; };
  m_rScript.then(100, [&](int32_t) { save_text(file("show.json"), rect_description("[0, 1]", 20 * TICKS)); })
      .when(failed, RELOAD_TIMEOUT_MS,
            [&](int32_t) {
              EXPECT_EQ(pOld, m_rPlayer.get_scene());
              expect_near(RED, drawn_pixel(20, 20), "after the broken save");
              EXPECT_NE(std::string::npos, m_rScript.title().find("Rectangle.Color: expected"))
                  << m_rScript.title();
              save_text(file("show.json"), rect_description("[0, 1, 0, 1]", 20 * TICKS));
            })
      .when([&]() { return m_rPlayer.get_scene() != pOld; }, RELOAD_TIMEOUT_MS,
            [&](int32_t) {})
      .then(0, [&](int32_t) {
        expect_near(GREEN, drawn_pixel(20, 20), "after the good save");
        EXPECT_FALSE(failed()) << m_rScript.title();
      });
  play_watching();
  const std::string sErrors = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, sErrors.find("show.json did not load; the previous version plays on:\n"))
      << sErrors;
  EXPECT_NE(std::string::npos, sErrors.find("scene.layers[0].effects[0].params.Rectangle.Color: expected"))
      << sErrors;
}

// --watch with the end, markers, loop points and music changed in a save.
TEST_F(ReloadTest, TheWindowHoldsTheEndAndANewEndIsPlayedTo) {
  load(rect_description("[1, 0, 0, 1]", TICKS / 4, "[]", file("tone.wav")));
  SceneC* pOld = m_rPlayer.get_scene();
  auto held = [&]() { return m_rPlayer.get_clock()->is_paused(); };
  int32_t i32Last = -1;
  m_rScript.when(held, RELOAD_TIMEOUT_MS, [&](int32_t) {})
      .then(300,
            [&](int32_t i32Time) {
              // Held on the end frame, not ended.
              EXPECT_EQ(TICKS / 4, i32Time);
              EXPECT_TRUE(held());
              save_text(file("show.json"), rect_description("[0, 0, 1, 1]", TICKS * 3 / 4, "[]", file("tone.wav")));
            })
      .when([&]() { return m_rPlayer.get_scene() != pOld; }, RELOAD_TIMEOUT_MS, [&](int32_t) {})
      .then(0,
            [&](int32_t i32Time) {
              expect_near(BLUE, drawn_pixel(20, 20), "after the save");
              EXPECT_EQ(TICKS / 4, i32Time);
              // Home plays on, to the new end.
              m_rScript.press(SDLK_HOME);
            })
      .when([&]() { return !held(); }, RELOAD_TIMEOUT_MS, [&](int32_t) {})
      .when([&]() { return held(); }, RELOAD_TIMEOUT_MS, [&](int32_t i32Time) { i32Last = i32Time; });
  play_watching();
  EXPECT_EQ(TICKS * 3 / 4, i32Last);
  const std::vector<int32_t>& rFrames = m_rScript.frames();
  EXPECT_NE(rFrames.end(), std::find_if(rFrames.begin(), rFrames.end(), [](int32_t i32Time) {
              return i32Time > TICKS / 4 && i32Time < TICKS * 3 / 4;
            })) << "frames between the old end and the new one";
}

TEST_F(ReloadTest, ASaveBringsItsMarkersLoopAndMusic) {
  std::filesystem::copy_file(file("tone.wav"), file("other.wav"), std::filesystem::copy_options::overwrite_existing);
  const std::string sFirst = "[{\"position\": 256, \"label\": \"A\"}, {\"position\": 320, \"label\": \"B\"}]";
  const std::string sMoved = "[{\"position\": 768, \"label\": \"A\"}, {\"position\": 832, \"label\": \"B\"}]";
  load(rect_description("[1, 0, 0, 1]", 20 * TICKS, sFirst, file("tone.wav")));
  PlaybackControlS rControl;
  std::string sError;
  ASSERT_TRUE(parse_presentation_span("A..B", &rControl.m_rLoopSpan, &sError));
  rControl.m_bLoop = true;
  rControl.m_i32LoopFrom = 256;
  rControl.m_i32LoopTo = 320;
  rControl.m_i32StartPosition = 256;
  rControl.m_bWatch = true;
  SceneC* pOld = m_rPlayer.get_scene();
  size_t uiAfterReload = 0;
  m_rScript
      .then(300,
            [&](int32_t) {
              EXPECT_EQ(file("tone.wav"), m_rPlayer.get_clock()->get_music_path());
              save_text(file("show.json"), rect_description("[1, 0, 0, 1]", 20 * TICKS, sMoved, file("other.wav")));
            })
      .when([&]() { return m_rPlayer.get_scene() != pOld; }, RELOAD_TIMEOUT_MS,
            [&](int32_t) {
              uiAfterReload = m_rScript.frames().size();
              EXPECT_EQ(file("other.wav"), m_rPlayer.get_clock()->get_music_path());
              EXPECT_TRUE(m_rPlayer.get_clock()->is_streaming());
              m_rScript.press(SDLK_HOME);
            })
      .then(600, [&](int32_t i32Time) {
        // Home goes to the loop's new start; the loop plays its new span.
        EXPECT_GE(i32Time, 768);
        EXPECT_LT(i32Time, 832);
      });
  play(rControl);
  const std::vector<int32_t>& rFrames = m_rScript.frames();
  for (size_t u = 0; u < uiAfterReload && u < rFrames.size(); ++u) {
    EXPECT_GE(rFrames[u], 256);
    EXPECT_LT(rFrames[u], 320);
  }
}

TEST(FileWatch, OnlyWatchedFilesCountAndOnlyOnceTheWritingSettled) {
  TempDirectoryC rDirectory;
  save_text(rDirectory.file("show.json"), "{}");
  save_text(rDirectory.file("other.json"), "{}");
  FileWatchC rWatch;
  ASSERT_FALSE(rWatch.is_polling());
  rWatch.watch({rDirectory.file("show.json"), rDirectory.path() + "/./missing.avi"});
  EXPECT_FALSE(rWatch.poll_changed());
  save_text(rDirectory.file("other.json"), "{ }");
  usleep(100000);
  EXPECT_FALSE(rWatch.poll_changed());
  // Written in place, as some editors do, and by rename.
  std::ofstream(rDirectory.file("show.json"), std::ios::app) << " ";
  EXPECT_FALSE(rWatch.poll_changed()) << "before the writing settled";
  usleep(100000);
  EXPECT_TRUE(rWatch.poll_changed());
  EXPECT_FALSE(rWatch.poll_changed()) << "once per change";
  save_text(rDirectory.file("missing.avi"), "RIFF");
  // Settled means no further event over a while of asking.
  EXPECT_FALSE(rWatch.poll_changed());
  usleep(100000);
  EXPECT_TRUE(rWatch.poll_changed()) << "a file that appears";
}

// A reload reads the files, then watches them again: a save made between
// the two, by rename as editors save, must still count.
bool changed_within(FileWatchC& rWatch, int32_t i32Ms) {
  for (int32_t i = 0; i < i32Ms / 10; ++i) {
    if (rWatch.poll_changed()) {
      return true;
    }
    usleep(10000);
  }
  return false;
}

TEST(FileWatch, ASaveDuringAReloadIsNotLost) {
  for (const bool bInotify : {true, false}) {
    TempDirectoryC rDirectory;
    save_text(rDirectory.file("show.json"), "{}");
    testing::internal::CaptureStderr();
    FileWatchC rWatch(bInotify);
    rWatch.watch({rDirectory.file("show.json"), rDirectory.file("clip.avi")});
    const std::string sTold = testing::internal::GetCapturedStderr();
    EXPECT_EQ(!bInotify, rWatch.is_polling());
    save_text(rDirectory.file("show.json"), "{ }");
    ASSERT_TRUE(changed_within(rWatch, 2000)) << bInotify;
    // The reload reads; meanwhile the next save lands; then it watches again.
    usleep(20000);
    save_text(rDirectory.file("show.json"), "{  }");
    rWatch.watch({rDirectory.file("show.json"), rDirectory.file("clip.avi")});
    EXPECT_TRUE(changed_within(rWatch, 2000)) << "the save made during the reload, inotify " << bInotify;
    EXPECT_FALSE(changed_within(rWatch, 600)) << "once per change, inotify " << bInotify;
    // Polling says so once, naming the file and what it does instead.
    if (!bInotify) {
      EXPECT_EQ("tiravo: changes to " + rDirectory.file("show.json") +
                    " cannot be heard of (inotify could not start): looking at its time every 250 ms instead\n",
                sTold);
      save_text(rDirectory.file("clip.avi"), "RIFF");
      EXPECT_TRUE(changed_within(rWatch, 2000)) << "a file that appears, by its time";
    } else {
      EXPECT_EQ("", sTold);
    }
  }
}

}  // namespace
