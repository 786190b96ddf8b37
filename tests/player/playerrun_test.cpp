// The frame loop and the teardown of PlayerC::run with a device driver that
// owns a real SDL window (on SDL's offscreen video driver) and real audio
// through SDL's dummy driver.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "platform/windowmessage.h"
#include "player/hostinterfacec.h"
#include "player/playerc.h"
#include "tests/support/presentationfile.h"
#include "tests/support/testeffectc.h"

namespace {

const ClassIdentC WINDOW_DRIVER_CLASS(0x7E57D21F, 0x00000021);

class WindowDriverC;

// What the driver saw, kept by the test: the driver is made by the loader and
// destroyed by the player.
struct DriverRecordS {
  bool m_bInitSucceeds = true;
  int32_t m_i32Mode = 0;
  int32_t m_i32BitsPerPixel = 0;
  int32_t m_i32Frames = 0;
  // The frame after which the quit message reached the driver's window.
  int32_t m_i32QuitHandledAfter = -1;
  bool m_bSoundOpenWhilePlaying = true;
  // Called at the end of every frame with the frame's number, from 1.
  std::function<void(WindowDriverC*, int32_t)> m_rOnFrame;
};

// A graphics device whose window is an SDL window; it handles its messages
// as the real driver does (the player dispatches them to it), and while it is
// destroyed it asks the host for a preparation pass, which a driver may do.
class WindowDriverC : public DeviceDriverBaseC, public WindowHandlerC {
 public:
  explicit WindowDriverC(DriverRecordS* pRecord) : m_pRecord(pRecord) {}

  DataObjectC* create() override { return new WindowDriverC(m_pRecord); }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  ClassIdentC get_class_ident() override { return WINDOW_DRIVER_CLASS; }
  int32_t get_state() override { return 0; }
  DeviceInterfaceC* query_interface(const SuperClassIdentC&) override { return nullptr; }
  int32_t load(ChunkReaderC*) override { return CHUNK_OK; }
  bool init_device(void*, void*, int32_t, int32_t i32Mode, int32_t, int32_t, int32_t i32BitsPerPixel,
                   HostInterfaceC* pHost) override {
    m_pRecord->m_i32Mode = i32Mode;
    m_pRecord->m_i32BitsPerPixel = i32BitsPerPixel;
    m_pHost = pHost;
    if (!m_pRecord->m_bInitSucceeds || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      return false;
    }
    m_pWindow = SDL_CreateWindow("device", 0, 0, 32, 32, SDL_WINDOW_HIDDEN);
    attach_window_handler(m_pWindow, this);
    return m_pWindow != nullptr;
  }
  void end_frame() override {
    ++m_pRecord->m_i32Frames;
    m_pRecord->m_bSoundOpenWhilePlaying &= SDL_WasInit(SDL_INIT_AUDIO) != 0;
    if (m_pRecord->m_rOnFrame) {
      m_pRecord->m_rOnFrame(this, m_pRecord->m_i32Frames);
    }
  }
  void begin_frame() override {}
  void* get_window() override { return m_pWindow; }
  void clear_buffers(uint32_t, const RgbaColorC&, float, int32_t) override {}
  void activate() override {}
  void deactivate() override {}
  void begin_draw() override {}
  void end_draw() override {}

  void handle_message(const SDL_Event& rEvent) override {
    if (rEvent.type == SDL_USEREVENT && rEvent.user.code == static_cast<Sint32>(WINDOW_MESSAGE_QUIT)) {
      m_pRecord->m_i32QuitHandledAfter = m_pRecord->m_i32Frames;
    }
  }

 private:
  ~WindowDriverC() override {
    // The document is gone by now: the host must have nothing left to prepare.
    if (m_pHost) {
      m_pHost->prepare_all(PREPARE_REASON_DEVICE);
    }
    if (m_pWindow) {
      attach_window_handler(m_pWindow, nullptr);
      SDL_DestroyWindow(m_pWindow);
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
  }

  DriverRecordS* m_pRecord;
  HostInterfaceC* m_pHost = nullptr;
  SDL_Window* m_pWindow = nullptr;
};

class WindowDriverDescC : public TestClassDescC {
 public:
  explicit WindowDriverDescC(DriverRecordS* pRecord) : m_pRecord(pRecord) {}
  DataObjectC* make_object() override { return new WindowDriverC(m_pRecord); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_DEVICE_DRIVER; }
  ClassIdentC get_class_ident() override { return WINDOW_DRIVER_CLASS; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_GRAPHICS_DEVICE; }
  const char* get_class_name() override { return "Window Driver"; }
  const char* get_description() override { return "Device driver with an SDL window, for tests"; }

 private:
  DriverRecordS* m_pRecord;
};

// Counts the quit messages dispatched to its window.
class QuitCounterC : public WindowHandlerC {
 public:
  void handle_message(const SDL_Event& rEvent) override {
    m_i32Quits += rEvent.type == SDL_USEREVENT && rEvent.user.code == static_cast<Sint32>(WINDOW_MESSAGE_QUIT);
  }
  int32_t m_i32Quits = 0;
};

// A document of one layer with one test effect, no music, and the window
// driver, that would play for ten minutes if nothing ended it.
class PlayerRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    m_rPlayer.get_class_registry()->register_internal(&m_rDriverDesc);
    m_rPlayer.get_class_registry()->register_internal(test_effect_desc());
    OwnedT<SceneC> pScene(SceneC::create_scene());
    pScene->set_end_time(600 * 2048);
    LayerC* pLayer = pScene->add_layer();
    TestEffectC* pEffect = TestEffectC::make();
    pLayer->add_effect(pEffect);
    OwnedT<TimeSegmentC> pShown(TimeSegmentC::create_segment(0, pScene->get_end_time()));
    pLayer->get_time_segment()->copy(pShown.get());
    pEffect->get_time_segment()->copy(pShown.get());
    write_document(m_rFile, [&](ChunkWriterC& rWriter) {
      write_scene_chunk(rWriter, pScene.get());
      write_class_chunk(rWriter, 0x5000, WINDOW_DRIVER_CLASS, "Window Driver", nullptr);
    });
  }

  // Loads the document and runs it; standard error goes to m_sOutput.
  int32_t run(bool bFullscreen = false) {
    EXPECT_TRUE(m_rPlayer.init(nullptr, bFullscreen));
    EXPECT_EQ(0, m_rPlayer.load(m_rFile.path()));
    testing::internal::CaptureStderr();
    const int32_t i32Result = m_rPlayer.run();
    m_sOutput = testing::internal::GetCapturedStderr();
    return i32Result;
  }

  TestEffectC* effect() { return static_cast<TestEffectC*>(m_rPlayer.get_scene()->get_layer(0)->get_effect(0)); }

  DriverRecordS m_rRecord;
  WindowDriverDescC m_rDriverDesc{&m_rRecord};
  PlayerC m_rPlayer;
  TempFileC m_rFile;
  std::string m_sOutput;
};

// A quit message for another window, or for none, is pumped and passed
// over; the one for the device's window is dispatched to it, and then the
// loop ends without another frame. The sound library is closed after.
TEST_F(PlayerRunTest, QuitMessageOfTheDeviceWindowEndsTheLoopAfterItIsDispatched) {
  SDL_Window* pOther = nullptr;
  QuitCounterC rOtherHandler;
  m_rRecord.m_rOnFrame = [&](WindowDriverC* pDriver, int32_t i32Frame) {
    if (i32Frame == 2) {
      pOther = SDL_CreateWindow("other", 0, 0, 16, 16, SDL_WINDOW_HIDDEN);
      attach_window_handler(pOther, &rOtherHandler);
      post_window_message(pOther, WINDOW_MESSAGE_QUIT);
      post_window_message(nullptr, WINDOW_MESSAGE_QUIT);
    } else if (i32Frame == 5) {
      post_window_message(static_cast<SDL_Window*>(pDriver->get_window()), WINDOW_MESSAGE_QUIT);
    }
  };
  EXPECT_EQ(0, run());
  EXPECT_EQ(5, m_rRecord.m_i32Frames);
  EXPECT_EQ(5, m_rRecord.m_i32QuitHandledAfter);
  EXPECT_EQ(1, rOtherHandler.m_i32Quits);
  EXPECT_EQ(DEVICE_MODE_WINDOWED, m_rRecord.m_i32Mode);
  EXPECT_EQ(32, m_rRecord.m_i32BitsPerPixel) << "the depth of a machine without a screen";
  EXPECT_TRUE(m_rRecord.m_bSoundOpenWhilePlaying);
  EXPECT_EQ(0u, SDL_WasInit(SDL_INIT_AUDIO));
  EXPECT_EQ(nullptr, m_rPlayer.get_scene());
  attach_window_handler(pOther, nullptr);
  SDL_DestroyWindow(pOther);
}

// No music named: the sound library still opens, the counter times the
// frames, and the library is closed at the end.
TEST_F(PlayerRunTest, WithoutMusicTheCounterRunsTheClockAndTheLibraryCloses) {
  std::vector<int32_t> rTimes;
  const auto rStart = std::chrono::steady_clock::now();
  m_rRecord.m_rOnFrame = [&](WindowDriverC* pDriver, int32_t i32Frame) {
    const std::vector<int32_t>& rEvaluated = effect()->m_rEvaluateTimes;
    rTimes.push_back(rEvaluated.empty() ? -1 : rEvaluated.back());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (i32Frame == 4) {
      post_window_message(static_cast<SDL_Window*>(pDriver->get_window()), WINDOW_MESSAGE_QUIT);
    }
  };
  EXPECT_EQ(0, run());
  const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
  EXPECT_TRUE(m_rRecord.m_bSoundOpenWhilePlaying);
  EXPECT_EQ(0u, SDL_WasInit(SDL_INIT_AUDIO));
  ASSERT_EQ(4u, rTimes.size());
  EXPECT_GE(rTimes[0], 0);
  // 2048 ticks per second; each frame waits 50 ms (102 ticks) at least.
  for (size_t i = 1; i < rTimes.size(); ++i) {
    EXPECT_GE(rTimes[i] - rTimes[i - 1], 102) << i;
  }
  EXPECT_LE(rTimes.back(), f64Seconds * 2048);
}

// A device that cannot open says which mode failed; the player, destroyed
// with the document still loaded, lets the driver's own prepare_all find
// nothing (a use of freed objects otherwise, which the sanitizer build sees).
TEST_F(PlayerRunTest, DeviceThatCannotOpenNamesItsModeAndTheTeardownIsSafe) {
  m_rRecord.m_bInitSucceeds = false;
  EXPECT_EQ(-1, run(true));
  EXPECT_EQ(DEVICE_MODE_FULLSCREEN, m_rRecord.m_i32Mode);
  EXPECT_EQ("Error: Could not initialise graphics device (init fullscreen).\n", m_sOutput);
  EXPECT_NE(nullptr, m_rPlayer.get_scene());

  PlayerC rWindowed;
  rWindowed.get_class_registry()->register_internal(&m_rDriverDesc);
  rWindowed.get_class_registry()->register_internal(test_effect_desc());
  ASSERT_TRUE(rWindowed.init(nullptr, false));
  ASSERT_EQ(0, rWindowed.load(m_rFile.path()));
  testing::internal::CaptureStderr();
  EXPECT_EQ(-1, rWindowed.run());
  EXPECT_EQ("Error: Could not initialise graphics device (init windowed).\n", testing::internal::GetCapturedStderr());
  EXPECT_EQ(DEVICE_MODE_WINDOWED, m_rRecord.m_i32Mode);
}

}  // namespace
