// The real tiravo started without options on a virtual X display: the
// options dialog is answered by keys and clicks, and a driver plug-in that
// records how it was initialised shows what the answer chose.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "corelib/devicedriverbasec.h"
#include "tests/endtoend/presentationtestc.h"
#include "tests/endtoend/xserverc.h"
#include "tests/plugins/recorddriver.h"

namespace {

// Where the controls of the dialog are, in its window's pixels: the centres
// of the "Fullscreen" check box and the "Sad" button.
constexpr const char* FULLSCREEN_BOX = "45 263";
constexpr const char* SAD_BUTTON = "357 264";

// The dialog's window, once shown, given the keyboard focus. SDL takes a
// window's focus a moment after the window system gives it, so every step
// of an answer waits a little before it is sent (longer on a busy machine).
constexpr const char* FOCUS_DIALOG = "search --sync --onlyvisible --name '^tiravo$' windowfocus --sync";
constexpr auto STEP_PAUSE = std::chrono::milliseconds(800);

// The pointer over a point of the dialog, then a click there.
std::vector<std::string> click_at(const char* szPoint) {
  return {std::string("search --onlyvisible --name '^tiravo$' mousemove --window %1 ") + szPoint, "click 1"};
}

// The document "data" of a directory with "plugins" beside it: a scene that
// ends at once, drawn by the record driver.
class DialogTest : public PresentationTestC {
 protected:
  void SetUp() override {
    PresentationTestC::SetUp();
    std::filesystem::create_symlink(TIRAVO_RECORD_DRIVER_PLUGIN, plugin_directory() + "/recorddriver.so");
    m_pScene->set_end_time(0);
    ChunkWriterC rWriter;
    ASSERT_EQ(CHUNK_OK, rWriter.open(m_rDirectory.file("data").c_str(), DOCUMENT_SIGNATURE,
                                     DOCUMENT_SIGNATURE_LENGTH));
    write_scene_chunk(rWriter, m_pScene.get());
    write_class_chunk(rWriter, 0x5000, RECORD_DRIVER_CLASS, RECORD_DRIVER_CLASS_NAME, nullptr);
    ASSERT_EQ(CHUNK_OK, rWriter.close());
    m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  }

  // tiravo, without options, answered by the xdotool commands, one after
  // the other, on a screen of the given depth. A dialog that is never
  // answered ends with the server.
  TiravoProcessC::ResultS run_answered(int iDepth, const std::vector<std::string>& rAnswer) {
    XServerC rServer(iDepth);
    EXPECT_NE("", rServer.display()) << "Xvfb did not start";
    m_rProcess.set_variable("DISPLAY", rServer.display());
    bool bAnswered = false;
    std::thread rUser([&] {
      bAnswered = rServer.xdotool(FOCUS_DIALOG);
      for (const std::string& rStep : rAnswer) {
        std::this_thread::sleep_for(STEP_PAUSE);
        bAnswered = bAnswered && rServer.xdotool(rStep);
      }
      if (!bAnswered) {
        rServer.stop();
      }
    });
    TiravoProcessC::ResultS rResult = m_rProcess.run(m_rDirectory.path(), {});
    rUser.join();
    EXPECT_TRUE(bAnswered) << rResult.m_sError;
    return rResult;
  }

  static std::string record_line(int iMode, int iBits) {
    char szLine[128];
    std::snprintf(szLine, sizeof(szLine), RECORD_DRIVER_LINE, iMode, iBits);
    return szLine;
  }
};

TEST_F(DialogTest, SadOrEscapeEndsWithoutLoadingPlugins) {
  for (const std::vector<std::string>& rAnswer : {std::vector<std::string>{"key Escape"}, click_at(SAD_BUTTON)}) {
    const TiravoProcessC::ResultS rResult = run_answered(24, rAnswer);
    EXPECT_EQ(0, rResult.m_iExitCode) << rAnswer.front();
    EXPECT_EQ(std::string::npos, rResult.m_sError.find("Loading plugin")) << rAnswer.front() << ": " << rResult.m_sError;
    EXPECT_EQ(std::string::npos, rResult.m_sError.find("Record Driver")) << rAnswer.front();
  }
}

// Left checked, "Fullscreen" gives mode 3; unchecked, mode 2. The depth is
// the bits a pixel takes on the screen: 32 on a screen of depth 24.
TEST_F(DialogTest, HappyOpensTheDeviceInTheModeTheCheckBoxChose) {
  const TiravoProcessC::ResultS rChecked = run_answered(24, {"key Return"});
  EXPECT_EQ(0, rChecked.m_iExitCode) << rChecked.m_sError;
  EXPECT_NE(std::string::npos, rChecked.m_sError.find("Loading plugin recorddriver.so...")) << rChecked.m_sError;
  EXPECT_NE(std::string::npos, rChecked.m_sError.find(record_line(DEVICE_MODE_FULLSCREEN, 32))) << rChecked.m_sError;

  std::vector<std::string> rUncheck = click_at(FULLSCREEN_BOX);
  rUncheck.push_back("key Return");
  const TiravoProcessC::ResultS rUnchecked = run_answered(16, rUncheck);
  EXPECT_EQ(0, rUnchecked.m_iExitCode) << rUnchecked.m_sError;
  EXPECT_NE(std::string::npos, rUnchecked.m_sError.find(record_line(DEVICE_MODE_WINDOWED, 16)))
      << rUnchecked.m_sError;
}

}  // namespace
