#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/textlayoutc.h"
#include "tests/vernisk/freetypereference.h"
#include "tests/vernisk/vernisktest.h"

namespace {

// The DejaVu Sans of Debian's fonts-dejavu-core, opened as the Font
// importable opens it.
class TextLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_rBytes = read_bytes(VERNISK_FONT);
    std::string sError;
    ASSERT_TRUE(m_rFont.open(m_rBytes.data(), static_cast<uint32_t>(m_rBytes.size()), &sError)) << sError;
  }

  TextLayoutC layout(const std::string& rText, float f32Size = 40.0f, int32_t i32Alignment = TEXT_ALIGN_LEFT,
                     int32_t i32Shown = TEXT_MAX_CHARACTERS) {
    TextStyleS rStyle;
    rStyle.m_f32Size = f32Size;
    rStyle.m_i32Alignment = i32Alignment;
    rStyle.m_i32Shown = i32Shown;
    TextLayoutC rLayout;
    std::string sError;
    EXPECT_TRUE(rLayout.set(m_rFont, rText, rStyle, &sError)) << sError;
    return rLayout;
  }

  // The box of the pixels with any ink, in layout box coordinates; width 0
  // when there are none.
  static InkBoxS drawn_box(const TextLayoutC& rLayout, int32_t i32FromColumn = 0) {
    InkBoxS rBox;
    bool bAny = false;
    for (int32_t y = 0; y < rLayout.get_height(); ++y) {
      for (int32_t x = i32FromColumn; x < rLayout.get_width(); ++x) {
        if (rLayout.get_pixels()[(static_cast<size_t>(y) * rLayout.get_width() + x) * 4 + 3] == 0) {
          continue;
        }
        const long iX = x + rLayout.get_left();
        const long iY = y + rLayout.get_top();
        rBox.m_iLeft = bAny ? std::min(rBox.m_iLeft, iX) : iX;
        rBox.m_iRight = bAny ? std::max(rBox.m_iRight, iX + 1) : iX + 1;
        rBox.m_iTop = bAny ? std::min(rBox.m_iTop, iY) : iY;
        rBox.m_iBottom = bAny ? std::max(rBox.m_iBottom, iY + 1) : iY + 1;
        bAny = true;
      }
    }
    return rBox;
  }

  std::vector<uint8_t> m_rBytes;
  FontFaceC m_rFont;
};

TEST_F(TextLayoutTest, FontIsNamedWithItsGlyphs) {
  EXPECT_EQ("DejaVu Sans Book", m_rFont.get_name());
  EXPECT_GT(m_rFont.get_glyph_count(), 3000);
}

// Glyphs of a text without kerning pairs sit where FreeType's advances put
// them: the ink drawn is the outlines' box, within the edge pixels that
// hold less than one step of coverage.
TEST_F(TextLayoutTest, InkBoxIsFreeTypesOwn) {
  for (const float f32Size : {13.0f, 40.0f, 97.5f}) {
    SCOPED_TRACE(f32Size);
    const InkBoxS rExpected = freetype_ink_box(VERNISK_FONT, "HIH", f32Size);
    const TextLayoutC rLayout = layout("HIH", f32Size);
    const InkBoxS rDrawn = drawn_box(rLayout);
    EXPECT_NEAR(rExpected.m_iLeft, rDrawn.m_iLeft, 1);
    EXPECT_NEAR(rExpected.m_iRight, rDrawn.m_iRight, 1);
    EXPECT_NEAR(rExpected.m_iTop, rDrawn.m_iTop, 1);
    EXPECT_NEAR(rExpected.m_iBottom, rDrawn.m_iBottom, 1);
    EXPECT_NEAR(ceil64(rExpected.m_iAdvance), rLayout.get_layout_width(), 1);
  }
}

// DejaVu Sans kerns "AV": the pairs close up against FreeType's plain advances.
TEST_F(TextLayoutTest, KerningPairsCloseUp) {
  const InkBoxS rPlain = freetype_ink_box(VERNISK_FONT, "AVAVAV", 40.0f);
  const TextLayoutC rKerned = layout("AVAVAV");
  EXPECT_LT(rKerned.get_layout_width(), ceil64(rPlain.m_iAdvance) - 5);
  EXPECT_LT(drawn_box(rKerned).m_iRight, rPlain.m_iRight - 5);
}

// A combining acute over "e" takes no room of its own: HarfBuzz puts it on
// the letter; Arabic is shaped right to left into joined forms, narrower
// than its letters apart.
TEST_F(TextLayoutTest, ScriptsAreShaped) {
  EXPECT_EQ(layout("e").get_layout_width(), layout("e\xCC\x81").get_layout_width());
  EXPECT_LT(drawn_box(layout("e\xCC\x81")).m_iTop, drawn_box(layout("e")).m_iTop);
  const std::string sJoined = "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85";
  const std::string sApart = "\xD8\xB3 \xD9\x84 \xD8\xA7 \xD9\x85";
  EXPECT_GT(layout(sJoined).get_layout_width(), 0);
  EXPECT_LT(layout(sJoined).get_layout_width(), layout(sApart).get_layout_width() - layout(" ").get_layout_width() * 3);
}

// Lines stand under each other at the font's line height; centred and right
// aligned lines end up in the middle and at the right of the widest.
TEST_F(TextLayoutTest, LinesAreAligned) {
  const TextLayoutC rLeft = layout("I\nIIIIIIII", 40.0f, TEXT_ALIGN_LEFT);
  const TextLayoutC rCentre = layout("I\nIIIIIIII", 40.0f, TEXT_ALIGN_CENTRE);
  const TextLayoutC rRight = layout("I\r\nIIIIIIII", 40.0f, TEXT_ALIGN_RIGHT);
  const TextLayoutC rOne = layout("I");
  EXPECT_GT(rLeft.get_layout_height(), rOne.get_layout_height() * 3 / 2);
  const int32_t i32Width = rLeft.get_layout_width();
  EXPECT_EQ(i32Width, rCentre.get_layout_width());
  // The first line's I: at the left, in the middle, at the right.
  auto first_line_centre = [](const TextLayoutC& rLayout) {
    InkBoxS rBox;
    bool bAny = false;
    for (int32_t y = 0; y < rLayout.get_height() / 3; ++y) {
      for (int32_t x = 0; x < rLayout.get_width(); ++x) {
        if (rLayout.get_pixels()[(static_cast<size_t>(y) * rLayout.get_width() + x) * 4 + 3] > 0) {
          rBox.m_iLeft = bAny ? std::min<long>(rBox.m_iLeft, x) : x;
          rBox.m_iRight = bAny ? std::max<long>(rBox.m_iRight, x + 1) : x + 1;
          bAny = true;
        }
      }
    }
    return (rBox.m_iLeft + rBox.m_iRight) / 2 + rLayout.get_left();
  };
  EXPECT_LT(first_line_centre(rLeft), i32Width / 8);
  EXPECT_NEAR(i32Width / 2, first_line_centre(rCentre), 2);
  EXPECT_GT(first_line_centre(rRight), i32Width * 7 / 8);
}

// Revealing shows the first characters only; the lines' box stays that of
// the whole text, so the text does not move as it is typed.
TEST_F(TextLayoutTest, RevealShowsTheFirstCharacters) {
  const TextLayoutC rAll = layout("HIH");
  const TextLayoutC rTwo = layout("HIH", 40.0f, TEXT_ALIGN_LEFT, 2);
  const TextLayoutC rNone = layout("HIH", 40.0f, TEXT_ALIGN_LEFT, 0);
  EXPECT_EQ(rAll.get_layout_width(), rTwo.get_layout_width());
  EXPECT_EQ(rAll.get_layout_width(), rNone.get_layout_width());
  EXPECT_EQ(3, rAll.get_character_count());
  const InkBoxS rHi = freetype_ink_box(VERNISK_FONT, "HI", 40.0f);
  EXPECT_NEAR(rHi.m_iRight, drawn_box(rTwo).m_iRight, 1);
  EXPECT_EQ(0, drawn_box(rNone).m_iRight);
}

// What no picture may be: too large is refused before it is allocated,
// with the reason; text past the limit is cut; damaged fonts are refused.
TEST_F(TextLayoutTest, LimitsAreKept) {
  TextStyleS rStyle;
  rStyle.m_f32Size = 1024.0f;
  TextLayoutC rLayout;
  std::string sError;
  EXPECT_FALSE(rLayout.set(m_rFont, std::string(2000, 'W'), rStyle, &sError));
  EXPECT_NE(std::string::npos, sError.find("too large")) << sError;
  EXPECT_TRUE(rLayout.get_pixels().empty());
  rStyle.m_f32Size = 2.0f;
  std::string sLong;
  while (sLong.size() < static_cast<size_t>(TEXT_MAX_CHARACTERS) + 100) {
    sLong += std::string(99, 'i') + "\n";
  }
  ASSERT_TRUE(rLayout.set(m_rFont, sLong, rStyle, &sError)) << sError;
  EXPECT_EQ(TEXT_MAX_CHARACTERS, rLayout.get_character_count());

  std::vector<uint8_t> rCut(m_rBytes.begin(), m_rBytes.begin() + 2000);
  FontFaceC rDamaged;
  EXPECT_FALSE(rDamaged.open(rCut.data(), static_cast<uint32_t>(rCut.size()), &sError));
  EXPECT_FALSE(rDamaged.open(nullptr, 0, &sError));
  EXPECT_FALSE(rLayout.set(rDamaged, "text", rStyle, &sError));
  EXPECT_EQ("", rDamaged.get_name());
}

// Fonts the fuzzer damaged so that glyphs reach thousands of pixels out:
// their picture stays within an em around the lines' box, and glyphs larger
// than all of that are left out, so neither memory nor time runs away.
TEST_F(TextLayoutTest, FarReachingGlyphsAreKeptNearTheText) {
  int32_t i32Opened = 0;
  for (int32_t i = 1; i <= 5; ++i) {
    const std::vector<uint8_t> rBytes = read_bytes(VERNISK_FONT_REGRESSIONS "/huge-glyphs-" + std::to_string(i));
    ASSERT_FALSE(rBytes.empty());
    FontFaceC rFont;
    std::string sError;
    if (!rFont.open(rBytes.data(), static_cast<uint32_t>(rBytes.size()), &sError)) {
      continue;
    }
    ++i32Opened;
    for (const float f32Size : {12.0f, 96.0f}) {
      TextStyleS rStyle;
      rStyle.m_f32Size = f32Size;
      TextLayoutC rLayout;
      if (rLayout.set(rFont, "AVATAR fi W.\nsecond line", rStyle, &sError)) {
        const int32_t i32Em = static_cast<int32_t>(f32Size);
        EXPECT_LE(rLayout.get_width(), rLayout.get_layout_width() + 2 * i32Em) << i;
        EXPECT_LE(rLayout.get_height(), rLayout.get_layout_height() + 2 * i32Em) << i;
        EXPECT_GE(rLayout.get_left(), -i32Em) << i;
        EXPECT_GE(rLayout.get_top(), -i32Em) << i;
      }
    }
  }
  EXPECT_GT(i32Opened, 0);
}

}  // namespace
