#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/endtoend/presentationtestc.h"
#include "tests/support/rectdescription.h"
#include "tests/support/renderedframec.h"

namespace {

class DescriptionTest : public PresentationTestC {
 protected:
  TiravoProcessC::ResultS render(const std::string& rDocument) {
    return m_rProcess.run(m_rDirectory.path(),
                          {"--render", "frames", "--fps", "4", "--plugins", plugin_directory(), rDocument});
  }
};

constexpr int COLOUR_TOLERANCE = 2;

TEST_F(DescriptionTest, ADescriptionPlaysAsTheDocumentItDescribes) {
  // Any name: the content tells a description from a document.
  save_text(m_rDirectory.file("show.doc"), "\n  " + rect_description("[0, 0, 1, 1]"));
  const TiravoProcessC::ResultS rResult = render("show.doc");
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  // The description names no driver, so the document gets the default one
  // and no complaint about a missing driver.
  EXPECT_EQ(std::string::npos, rResult.m_sError.find("No default device dirver")) << rResult.m_sError;
  for (int32_t i = 0; i < 5; ++i) {
    const RenderedFrameC rFrame(m_rDirectory.file("frames"), i);
    ASSERT_EQ(LAYOUT_WIDTH, rFrame.width()) << i;
    expect_colour({0, 0, 255}, rFrame.at(20, 20), "the rectangle", COLOUR_TOLERANCE);
    expect_colour({0, 0, 0}, rFrame.at(40, 40), "the background", COLOUR_TOLERANCE);
  }
  EXPECT_FALSE(std::filesystem::exists(m_rDirectory.file("frames/frame-000005.png")));
}

TEST_F(DescriptionTest, ADescriptionThatCannotBeBuiltSaysWhereAndWhatWasExpected) {
  save_text(m_rDirectory.file("show.json"), rect_description("\"red\""));
  const TiravoProcessC::ResultS rWrong = render("show.json");
  EXPECT_EQ(255, rWrong.m_iExitCode);
  EXPECT_NE(std::string::npos, rWrong.m_sError.find("Load Error: show.json: "
                                                    "scene.layers[0].effects[0].params.Rectangle.Color: expected"))
      << rWrong.m_sError;
  EXPECT_NE(std::string::npos, rWrong.m_sError.find("load failed\n"));

  save_text(m_rDirectory.file("show.json"), "{\"scene\": ");
  const TiravoProcessC::ResultS rCut = render("show.json");
  EXPECT_EQ(255, rCut.m_iExitCode);
  EXPECT_NE(std::string::npos, rCut.m_sError.find("Load Error: show.json: not JSON: ")) << rCut.m_sError;
}

TEST_F(DescriptionTest, StatsAreReportedAtTheEndOfAPlayedDescription) {
  save_text(m_rDirectory.file("show.json"),
            rect_description("[0, 0, 1, 1]", TICKS_PER_SECOND / 2, "[]", TIRAVO_EXPORT_MEDIA_DIR "/tone-3s.wav"));
  m_rProcess.set_variable("SDL_VIDEODRIVER", "offscreen");
  m_rProcess.set_variable("SDL_AUDIODRIVER", "dummy");
  const TiravoProcessC::ResultS rResult = m_rProcess.run(
      m_rDirectory.path(), {"--windowed", "--stats", "--plugins", plugin_directory(), "show.json"});
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  for (const char* szLine : {"frames drawn:", "average rate:", "frame time:             median ", "late frames:",
                             "sound device drift:     at most "}) {
    EXPECT_NE(std::string::npos, rResult.m_sOutput.find(szLine)) << rResult.m_sOutput;
  }
}

}  // namespace
