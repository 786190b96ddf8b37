#include "platform/messagebox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/display.h"
#include "platform/optionsdialog.h"

namespace {

// Sets the display variables for one test and puts the old values back after it.
class DisplayEnvironmentC {
 public:
  DisplayEnvironmentC(const char* szDisplay, const char* szWayland, const char* szDriver) {
    for (int32_t i32Index = 0; i32Index < 3; ++i32Index) {
      const char* szOld = std::getenv(NAMES[i32Index]);
      if (szOld != nullptr) {
        m_rSaved[i32Index] = szOld;
      }
    }
    set(NAMES[0], szDisplay);
    set(NAMES[1], szWayland);
    set(NAMES[2], szDriver);
  }
  ~DisplayEnvironmentC() {
    for (int32_t i32Index = 0; i32Index < 3; ++i32Index) {
      set(NAMES[i32Index], m_rSaved[i32Index] ? m_rSaved[i32Index]->c_str() : nullptr);
    }
  }

 private:
  static void set(const char* szName, const char* szValue) {
    if (szValue != nullptr) {
      setenv(szName, szValue, 1);
    } else {
      unsetenv(szName);
    }
  }

  static constexpr const char* NAMES[3] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
  std::optional<std::string> m_rSaved[3];
};

TEST(Display, NeedsADisplayServerAndAVisibleVideoDriver) {
  {
    DisplayEnvironmentC rEnv(nullptr, nullptr, nullptr);
    EXPECT_FALSE(display_available());
  }
  {
    DisplayEnvironmentC rEnv(":0", nullptr, nullptr);
    EXPECT_TRUE(display_available());
  }
  {
    DisplayEnvironmentC rEnv(nullptr, "wayland-0", "x11");
    EXPECT_TRUE(display_available());
  }
  {
    DisplayEnvironmentC rEnv(":0", "wayland-0", "offscreen");
    EXPECT_FALSE(display_available());
  }
  {
    DisplayEnvironmentC rEnv(":0", nullptr, "dummy");
    EXPECT_FALSE(display_available());
  }
}

TEST(MessageBox, WritesTitleAndTextToStandardErrorWithoutADisplay) {
  // A named display that SDL must not use: the box would block if it were shown.
  DisplayEnvironmentC rEnv(":0", nullptr, "offscreen");

  testing::internal::CaptureStderr();
  show_message_box("Error", "Could not initialise graphics device (init windowed).", MESSAGE_ICON_NONE);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Could not initialise graphics device (init windowed).\n");

  // A text that ends its own lines comes out as it is.
  testing::internal::CaptureStderr();
  show_message_box("Load Error", "Loading file failed.\n\nFollowing error occured:\nbad\n", MESSAGE_ICON_ERROR);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Load Error: Loading file failed.\n\nFollowing error occured:\nbad\n");
}

TEST(OptionsDialog, LeavesAsSadWithoutADisplay) {
  DisplayEnvironmentC rEnv(nullptr, nullptr, nullptr);
  bool bFullscreen = true;
  testing::internal::CaptureStderr();
  EXPECT_EQ(run_options_dialog(&bFullscreen), DIALOG_RESULT_SAD);
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(bFullscreen);
}

}  // namespace
