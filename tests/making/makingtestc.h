#ifndef TESTS_MAKING_MAKINGTESTC_H
#define TESTS_MAKING_MAKINGTESTC_H

#include <GL/gl.h>
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "player/playerc.h"
#include "tests/support/openglpin.h"
#include "tests/support/rectdescription.h"
#include "tests/support/tempdirectoryc.h"

// Runs steps in the frame loop: each on the first frame drawn once its wait
// (milliseconds since the step before) is over, with that frame's time. Keys
// a step presses are handled before the next frame. After the last step it
// presses Escape, which ends the presentation.
class ScriptC : public FrameObserverC {
 public:
  using StepT = std::function<void(int32_t i32FrameTime)>;

  explicit ScriptC(PlayerC* pPlayer) : m_pPlayer(pPlayer) {}

  ScriptC& then(int64_t i64WaitMs, StepT rStep) {
    m_rSteps.push_back({i64WaitMs, nullptr, std::move(rStep)});
    return *this;
  }
  // A step that waits for rReady instead, up to i64TimeoutMs: a busy machine
  // may take a while.
  ScriptC& when(std::function<bool()> rReady, int64_t i64TimeoutMs, StepT rStep) {
    m_rSteps.push_back({i64TimeoutMs, std::move(rReady), std::move(rStep)});
    return *this;
  }

  void frame_drawn(int32_t i32FrameTime) override {
    const auto rNow = std::chrono::steady_clock::now();
    if (m_uiNext == 0 && m_rFrames.empty()) {
      pin_opengl_libraries();
      m_rStepTime = rNow;
    }
    m_rFrames.push_back(i32FrameTime);
    if (m_uiNext < m_rSteps.size() && step_due(m_rSteps[m_uiNext], rNow)) {
      m_rStepTime = rNow;
      m_rSteps[m_uiNext++].m_rStep(i32FrameTime);
    } else if (m_uiNext == m_rSteps.size() && !m_bQuit) {
      m_bQuit = true;
      press(SDLK_ESCAPE);
    }
  }

  void press(SDL_Keycode iKey, bool bShift = false) {
    SDL_Event rEvent{};
    rEvent.type = SDL_KEYDOWN;
    rEvent.key.windowID = SDL_GetWindowID(static_cast<SDL_Window*>(device()->get_window()));
    rEvent.key.state = SDL_PRESSED;
    rEvent.key.keysym.sym = iKey;
    rEvent.key.keysym.mod = bShift ? KMOD_LSHIFT : KMOD_NONE;
    SDL_PushEvent(&rEvent);
  }

  DeviceDriverBaseC* device() { return m_pPlayer->get_device_table()->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE); }
  std::string title() { return SDL_GetWindowTitle(static_cast<SDL_Window*>(device()->get_window())); }
  bool finished() const { return m_bQuit; }
  const std::vector<int32_t>& frames() const { return m_rFrames; }

 private:
  struct StepS {
    int64_t m_i64WaitMs;
    std::function<bool()> m_rReady;
    StepT m_rStep;
  };
  bool step_due(const StepS& rStep, std::chrono::steady_clock::time_point rNow) const {
    return (rStep.m_rReady && rStep.m_rReady()) || rNow - m_rStepTime >= std::chrono::milliseconds(rStep.m_i64WaitMs);
  }
  PlayerC* m_pPlayer;
  std::vector<StepS> m_rSteps;
  size_t m_uiNext = 0;
  bool m_bQuit = false;
  std::chrono::steady_clock::time_point m_rStepTime;
  std::vector<int32_t> m_rFrames;
};

// The pixel of the frame being drawn at window coordinates (x, y), y up.
inline std::array<int, 3> drawn_pixel(int32_t i32X, int32_t i32Y) {
  uint8_t rPixel[4] = {};
  glReadPixels(i32X, i32Y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rPixel);
  return {rPixel[0], rPixel[1], rPixel[2]};
}

// A directory with the plug-ins, ten seconds of music made by the ffmpeg
// command, and the player playing descriptions in a window there.
class MakingTestC : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    s_pDirectory = new TempDirectoryC();
    std::filesystem::create_directory(s_pDirectory->file("plugins"));
    std::filesystem::create_symlink(TIRAVO_OPENGL_PLUGIN, s_pDirectory->file("plugins/opengl.so"));
    std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, s_pDirectory->file("plugins/testrect.so"));
    const std::string sCommand = std::string("'") + TIRAVO_FFMPEG +
                                 "' -nostdin -loglevel error -y -f lavfi -i sine=frequency=440:duration=10 '" +
                                 s_pDirectory->file("tone.wav") + "'";
    ASSERT_EQ(0, std::system(sCommand.c_str()));
  }
  static void TearDownTestSuite() {
    delete s_pDirectory;
    s_pDirectory = nullptr;
  }

  static std::string file(const std::string& rName) { return s_pDirectory->file(rName); }

  // Loads the description into the player, quietly.
  void load(const std::string& rDescription, const std::string& rName = "show.json") {
    save_text(file(rName), rDescription);
    testing::internal::CaptureStderr();
    m_rPlayer.get_class_registry()->load_plugins(file("plugins").c_str());
    ASSERT_TRUE(m_rPlayer.init(nullptr, false));
    const int32_t i32Result = m_rPlayer.load(file(rName).c_str());
    const std::string sErrors = testing::internal::GetCapturedStderr();
    ASSERT_EQ(0, i32Result) << sErrors;
  }

  // Plays with the transport keys and the control given, under the script.
  void play(PlaybackControlS rControl = PlaybackControlS()) {
    rControl.m_bTransport = true;
    m_rPlayer.set_playback_control(rControl);
    m_rPlayer.set_frame_observer(&m_rScript);
    EXPECT_EQ(0, m_rPlayer.run());
    EXPECT_TRUE(m_rScript.finished()) << "the presentation ended before the script";
  }

  static TempDirectoryC* s_pDirectory;
  PlayerC m_rPlayer;
  ScriptC m_rScript{&m_rPlayer};
};

inline TempDirectoryC* MakingTestC::s_pDirectory = nullptr;

// 256 ticks per second.
constexpr int32_t TICKS = 256;

#endif
