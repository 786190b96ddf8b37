#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "corelib/parambasec.h"
#include "tests/endtoend/presentationtestc.h"
#include "tests/support/renderedframec.h"

namespace {

// Documents rendered into PNG frames, and played.
class PlaybackTest : public PresentationTestC {
 protected:
  TiravoProcessC::ResultS render(int32_t i32Fps, const std::string& rPlugins) {
    return m_rProcess.run(m_rDirectory.path(), {"--render", "frames", "--fps", std::to_string(i32Fps), "--plugins",
                                                 rPlugins, "show.doc"});
  }

  RenderedFrameC frame(int32_t i32Index) const { return RenderedFrameC(m_rDirectory.file("frames"), i32Index); }

  int32_t frame_count() const {
    int32_t i32Count = 0;
    for ([[maybe_unused]] const auto& rEntry : std::filesystem::directory_iterator(m_rDirectory.file("frames"))) {
      ++i32Count;
    }
    return i32Count;
  }
};

// Colours written and read as bytes: GL's rounding is the only difference.
constexpr int COLOUR_TOLERANCE = 2;

const RgbT BLACK = {0, 0, 0};
const RgbT RED = {255, 0, 0};
const RgbT GREEN = {0, 255, 0};
const RgbT BLUE = {0, 0, 255};
const RgbT WHITE = {255, 255, 255};

TEST_F(PlaybackTest, RendersEveryFrameBackToFrontAtItsOwnTime) {
  // Layer 0 is drawn last, so its red covers layer 1's green where they
  // overlap; in layer 1, effect 0 (blue) is drawn over effect 1 (green).
  add_rect(add_layer(0, 10000), Vector2C(8, 8), Vector2C(32, 32), RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
  LayerC* pLayer = add_layer(0, 10000);
  add_rect(pLayer, Vector2C(40, 20), Vector2C(44, 24), RgbaColorC(0.0f, 0.0f, 1.0f, 1.0f));
  add_rect(pLayer, Vector2C(24, 16), Vector2C(56, 32), RgbaColorC(0.0f, 1.0f, 0.0f, 1.0f));
  // Shown over [128, 256) only.
  add_rect(add_layer(128, 256), Vector2C(0, 40), Vector2C(8, 48), RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f));
  // From 64 with an effect from 32 of the layer: local time is frame time - 96,
  // and the red grows from 0 at local 0 to 1 at local 256.
  EffectBaseC* pAnimated =
      add_rect(add_layer(64, 10000), Vector2C(56, 0), Vector2C(64, 8), RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f), 32);
  ParamBaseC* pColor = pAnimated->get_gizmo(TESTRECT_GIZMO_ID)->get_param(TESTRECT_PARAM_COLOR);
  pColor->add_flags(PARAM_FLAG_ANIMATED);
  static_cast<ColorParamC*>(pColor)->set_value(0, RgbaColorC(0.0f, 0.0f, 0.0f, 1.0f));
  static_cast<ColorParamC*>(pColor)->set_value(TICKS_PER_SECOND, RgbaColorC(1.0f, 0.0f, 0.0f, 1.0f));
  save();

  const TiravoProcessC::ResultS rResult = render(4, plugin_directory());
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  EXPECT_NE(std::string::npos, rResult.m_sError.find("Loading plugin testrect.so...\nAPI version: 0.6\n"));
  EXPECT_NE(std::string::npos, rResult.m_sError.find("Load Error: No default device dirver.\n"));
  // 0, 250, ..., 1000 ms: 0 to 256 ticks; the frame at the end time is drawn.
  ASSERT_EQ(5, frame_count());
  for (int32_t i = 0; i < 5; ++i) {
    const RenderedFrameC rFrame = frame(i);
    ASSERT_EQ(LAYOUT_WIDTH, rFrame.width()) << i;
    ASSERT_EQ(LAYOUT_HEIGHT, rFrame.height()) << i;
    expect_colour(RED, rFrame.at(28, 28), "layer 0 over layer 1", COLOUR_TOLERANCE);
    expect_colour(GREEN, rFrame.at(50, 20), "layer 1, effect 1", COLOUR_TOLERANCE);
    expect_colour(BLUE, rFrame.at(42, 22), "effect 0 over effect 1", COLOUR_TOLERANCE);
    expect_colour(BLACK, rFrame.at(4, 4), "background", COLOUR_TOLERANCE);
    expect_colour(i == 2 || i == 3 ? WHITE : BLACK, rFrame.at(4, 44), "layer shown over [128, 256)", COLOUR_TOLERANCE);
  }
  // Frames 0 and 1 (0 and 64 ticks) come before the animated effect starts at 96.
  expect_colour(BLACK, frame(1).at(60, 4), "effect not yet shown", COLOUR_TOLERANCE);
  expect_colour({32, 0, 0}, frame(2).at(60, 4), "local time 32", COLOUR_TOLERANCE);
  expect_colour({96, 0, 0}, frame(3).at(60, 4), "local time 96", COLOUR_TOLERANCE);
  expect_colour({159, 0, 0}, frame(4).at(60, 4), "local time 160", COLOUR_TOLERANCE);
}

TEST_F(PlaybackTest, MissingPluginClassesAreListedWhenTheLoadFails) {
  // Without testrect.so the layer loses its effect, which alone does not fail
  // the load; an imported file whose class no library has does.
  add_rect(add_layer(0, 10000), Vector2C(0, 0), Vector2C(8, 8), RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f));
  const std::string sPath = save();
  ChunkWriterC rWriter;
  ASSERT_EQ(CHUNK_OK, rWriter.open(sPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
  write_scene_chunk(rWriter, m_pScene.get());
  write_class_chunk(rWriter, 0x1000, ClassIdentC(0x0BADC1A5, 0x00000007), "Lost Video", nullptr);
  ASSERT_EQ(CHUNK_OK, rWriter.close());
  const std::string sOnlyDriver = m_rDirectory.file("driver-only");
  std::filesystem::create_directory(sOnlyDriver);
  std::filesystem::create_symlink(TIRAVO_OPENGL_PLUGIN, sOnlyDriver + "/opengl.so");

  const TiravoProcessC::ResultS rResult = render(4, sOnlyDriver);
  EXPECT_EQ(255, rResult.m_iExitCode);
  const size_t uSummary = rResult.m_sError.find("Load Error: Loading file failed.\n\nFollowing error occured:\n");
  ASSERT_NE(std::string::npos, uSummary) << rResult.m_sError;
  const std::string sErrors = rResult.m_sError.substr(uSummary);
  EXPECT_NE(std::string::npos, sErrors.find("Test Rectangle")) << sErrors;
  EXPECT_NE(std::string::npos,
            sErrors.find("- Load File: Importable Lost Video (0x0badc1a5, 0x00000007) cannot be created. "
                         "Propably missing DLL.\n"))
      << sErrors;
  EXPECT_NE(std::string::npos, rResult.m_sError.find("load failed\n"));
}

TEST_F(PlaybackTest, UnreadableDocumentsEndWithTheirMessage) {
  const TiravoProcessC::ResultS rMissing = render(4, plugin_directory());
  EXPECT_EQ(255, rMissing.m_iExitCode);
  EXPECT_NE(std::string::npos, rMissing.m_sError.find("Load Error: Cannot open file for input.\n"));
  std::filesystem::copy_file(TIRAVO_OPENGL_PLUGIN, m_rDirectory.file("show.doc"));
  const TiravoProcessC::ResultS rWrong = render(4, plugin_directory());
  EXPECT_EQ(255, rWrong.m_iExitCode);
  EXPECT_NE(std::string::npos, rWrong.m_sError.find("Load Error: File is in wrong format.\n"));
}

TEST_F(PlaybackTest, CommandLineAndDisplayChoice) {
  const TiravoProcessC::ResultS rHelp = m_rProcess.run(m_rDirectory.path(), {"--help"});
  EXPECT_EQ(0, rHelp.m_iExitCode);
  const TiravoProcessC::ResultS rWrong = m_rProcess.run(m_rDirectory.path(), {"--fps", "x"});
  EXPECT_EQ(2, rWrong.m_iExitCode);
  EXPECT_NE(std::string::npos, rWrong.m_sError.find("Usage: tiravo"));
  // Without a display there is nobody to ask, and the player says so.
  const TiravoProcessC::ResultS rNoDisplay = m_rProcess.run(m_rDirectory.path(), {});
  EXPECT_EQ(1, rNoDisplay.m_iExitCode);
  EXPECT_NE(std::string::npos, rNoDisplay.m_sError.find("no display"));
}

TEST_F(PlaybackTest, PlaysInAWindowToItsEnd) {
  add_rect(add_layer(0, 10000), Vector2C(0, 0), Vector2C(8, 8), RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f));
  m_pScene->set_end_time(TICKS_PER_SECOND / 4);
  save(true);
  m_rProcess.set_variable("SDL_VIDEODRIVER", "offscreen");
  m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  const auto rStart = std::chrono::steady_clock::now();
  const TiravoProcessC::ResultS rResult =
      m_rProcess.run(m_rDirectory.path(), {"--windowed", "--plugins", plugin_directory(), "show.doc"});
  EXPECT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  // A quarter of a second of presentation; anything near a minute is a hang.
  EXPECT_LT(std::chrono::steady_clock::now() - rStart, std::chrono::seconds(60));
}

TEST_F(PlaybackTest, AStartPastTheEndIsAMistakeOfTheCommandLine) {
  save(true);
  const TiravoProcessC::ResultS rResult =
      m_rProcess.run(m_rDirectory.path(), {"--windowed", "--plugins", plugin_directory(), "--start=1:00", "show.doc"});
  EXPECT_EQ(2, rResult.m_iExitCode);
  EXPECT_NE(std::string::npos,
            rResult.m_sError.find("tiravo: --start: 60.000 s is past the presentation's end at 1.000 s\n"))
      << rResult.m_sError;
}

// The manual page is made from --help: every option it lists is there, and
// the version is the project's.
TEST_F(PlaybackTest, TheManualPageHoldsEveryOptionOfTheHelp) {
  const std::string sHelp = m_rProcess.run(m_rDirectory.path(), {"--help"}).m_sOutput;
  std::ifstream rIn(std::string(TIRAVO_BUILD_DIR) + "/man/tiravo.1");
  const std::string sPage((std::istreambuf_iterator<char>(rIn)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(sPage.empty());
  std::istringstream rLines(sHelp);
  std::string sLine;
  int32_t i32Options = 0;
  while (std::getline(rLines, sLine)) {
    if (sLine.rfind("  --", 0) != 0) {
      continue;
    }
    const std::string sOption = sLine.substr(2, sLine.find_first_of(" ,", 2) - 2);
    // The page writes each dash as \-.
    std::string sWritten;
    for (const char c : sOption) {
      sWritten += c == '-' ? std::string("\\-") : std::string(1, c);
    }
    EXPECT_NE(std::string::npos, sPage.find(sWritten)) << sOption;
    ++i32Options;
  }
  EXPECT_GE(i32Options, 12);
  const std::string sVersion = m_rProcess.run(m_rDirectory.path(), {"--version"}).m_sOutput;
  EXPECT_EQ(0u, sVersion.find("tiravo "));
  EXPECT_NE(std::string::npos, sPage.find(sVersion.substr(0, sVersion.size() - 1))) << sVersion;
}

}  // namespace
