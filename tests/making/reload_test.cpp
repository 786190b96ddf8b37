#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/filewatchc.h"
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

TEST(FileWatch, OnlyWatchedFilesCountAndOnlyOnceTheWritingSettled) {
  TempDirectoryC rDirectory;
  save_text(rDirectory.file("show.json"), "{}");
  save_text(rDirectory.file("other.json"), "{}");
  FileWatchC rWatch;
  ASSERT_TRUE(rWatch.is_open());
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

}  // namespace
