#include <gtest/gtest.h>

#include <string>

#include "tests/vernisk/freetypereference.h"
#include "tests/vernisk/vernisktest.h"

namespace {

// Text effects rendered by the real tiravo, the font imported from Debian's
// fonts-dejavu-core, white text on the black frame.
class TextEffectTest : public VerniskTest {
 protected:
  // One Text effect over [0, 65536) at (x, y), with further members of its
  // "params" and further files as JSON text; file 0 is the font.
  static std::string description(int32_t i32Width, int32_t i32Height, const std::string& rEffect,
                                 const std::string& rParams, const std::string& rFiles = "") {
    return R"({"scene": {"end_time": 4096, "layout_width": )" + std::to_string(i32Width) + R"(, "layout_height": )" +
           std::to_string(i32Height) + R"(, "layers": [{"time_segment": [0, 65536], "effects": [{"class": "Text",
             "time_segment": [0, 65536], )" + rEffect + R"(, "params": {"Attributes": {"Font": 0}, )" + rParams +
           R"(}}]}]}, "files": [{"file_name": ")" VERNISK_FONT R"("})" + rFiles + "]}";
  }

  // The box of the pixels brighter than black, x right and y down from the
  // frame's top left.
  static InkBoxS ink_of(const RenderedFrameC& rFrame) {
    InkBoxS rBox;
    bool bAny = false;
    for (int32_t i32Row = 0; i32Row < rFrame.height(); ++i32Row) {
      for (int32_t x = 0; x < rFrame.width(); ++x) {
        const RgbT rPixel = rFrame.at(x, rFrame.height() - 1 - i32Row);
        if (rPixel[0] == 0 && rPixel[1] == 0 && rPixel[2] == 0) {
          continue;
        }
        rBox.m_iLeft = bAny ? std::min<long>(rBox.m_iLeft, x) : x;
        rBox.m_iRight = bAny ? std::max<long>(rBox.m_iRight, x + 1) : x + 1;
        rBox.m_iTop = bAny ? std::min<long>(rBox.m_iTop, i32Row) : i32Row;
        rBox.m_iBottom = bAny ? std::max<long>(rBox.m_iBottom, i32Row + 1) : i32Row + 1;
        bAny = true;
      }
    }
    return rBox;
  }
};

// The effect's own name is its text when it has no text file. The ink on
// the frame is FreeType's ink box of the text, placed so that Position is
// the centre of the line's box: its advance wide, ascender to descender high.
TEST_F(TextEffectTest, InkOnTheFrameIsFreeTypesInkBox) {
  const TiravoProcessC::ResultS rResult = render(
      description(200, 80, R"("name": "HIH")", R"("Transform": {"Position": [100, 40]}, "Text": {"Size": 40})"));
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const InkBoxS rText = freetype_ink_box(VERNISK_FONT, "HIH", 40.0f);
  // DejaVu Sans at 40 pixels: ascender 38, descender -10 (FreeType's
  // rounded metrics), so the line's box is 48 high.
  const long iBoxWidth = ceil64(rText.m_iAdvance);
  const long iLeft = 100 - iBoxWidth / 2;
  const long iTop = 40 - 48 / 2;
  const InkBoxS rInk = ink_of(frame(0));
  EXPECT_NEAR(iLeft + rText.m_iLeft, rInk.m_iLeft, 1);
  EXPECT_NEAR(iLeft + rText.m_iRight, rInk.m_iRight, 1);
  EXPECT_NEAR(iTop + rText.m_iTop, rInk.m_iTop, 1);
  EXPECT_NEAR(iTop + rText.m_iBottom, rInk.m_iBottom, 1);
  // The H's stems are solid: full colour in the middle of the first stem.
  const RgbT rStem = frame(0).at(static_cast<int32_t>(rInk.m_iLeft + 2), 40);
  expect_colour({255, 255, 255}, rStem, "stem", 1);
}

// A text file of two lines, typed in by an animated Reveal, coloured by Fill Color.
TEST_F(TextEffectTest, TextFileIsRevealedAndColoured) {
  write_text(m_rDirectory.file("lines.txt"), "\xEF\xBB\xBFHIH\nIII\n");
  const std::string sParams = R"("Attributes": {"Font": 0, "Text": 1, "Fill Color": [1, 0, 0, 1]},
      "Transform": {"Position": [100, 50]}, "Text": {"Size": 30, "Reveal": {"track": {"keys": [
        {"time": 0, "value": 0, "flags": ["linear"]}, {"time": 4096, "value": 1, "flags": ["linear"]}]}}})";
  std::string sDescription = description(200, 100, R"("name": "lines")", "", R"(, {"file_name": "lines.txt"})");
  sDescription.replace(sDescription.find(R"("params": {"Attributes": {"Font": 0}, })"),
                       std::string(R"("params": {"Attributes": {"Font": 0}, })").size(), "\"params\": {" + sParams + "}");
  const TiravoProcessC::ResultS rResult = render(sDescription);
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  EXPECT_EQ(0, ink_of(frame(0)).m_iRight) << "nothing typed yet";
  const InkBoxS rHalf = ink_of(frame(1));
  const InkBoxS rAll = ink_of(frame(2));
  EXPECT_GT(rHalf.m_iRight, 0);
  EXPECT_LT(rHalf.m_iBottom, rAll.m_iBottom) << "the second line comes last";
  EXPECT_GT(rAll.m_iBottom - rAll.m_iTop, 50) << "two lines of 30 pixels";
  const RgbT rStem = frame(2).at(static_cast<int32_t>(rAll.m_iLeft + 2), 100 - 1 - (rAll.m_iTop + 10));
  expect_colour({255, 0, 0}, rStem, "stem", 1);
}

}  // namespace
