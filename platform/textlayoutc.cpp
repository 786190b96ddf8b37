#include "platform/textlayoutc.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/picturesize.h"

struct FontFaceC::FaceS {
  FT_Library m_pLibrary = nullptr;
  FT_Face m_pFace = nullptr;
  hb_font_t* m_pFont = nullptr;

  ~FaceS() {
    if (m_pFont) {
      hb_font_destroy(m_pFont);
    } else if (m_pFace) {
      FT_Done_Face(m_pFace);
    }
    if (m_pLibrary) {
      FT_Done_FreeType(m_pLibrary);
    }
  }
};

namespace {

// Outlines unhinted, as HarfBuzz measures their advances, so that glyphs sit
// where the shaping put them.
constexpr FT_Int32 LOAD_FLAGS = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

struct PlacedGlyphS {
  uint32_t m_ui32Glyph;
  FT_Pos m_iX;  // pen position in 26.6 pixels, layout box coordinates
  FT_Pos m_iY;  // baseline, y down
};

bool is_continuation(uint8_t ui8Byte) {
  return (ui8Byte & 0xC0) == 0x80;
}

// The byte at which character i32Count starts (the text's size when it has
// fewer), and the characters up to there.
size_t byte_of_character(const std::string& rText, int32_t i32Count, int32_t* pCounted) {
  int32_t i32Counted = 0;
  for (size_t i = 0; i < rText.size(); ++i) {
    if (!is_continuation(static_cast<uint8_t>(rText[i]))) {
      if (i32Counted == i32Count) {
        *pCounted = i32Counted;
        return i;
      }
      ++i32Counted;
    }
  }
  *pCounted = i32Counted;
  return rText.size();
}

FT_Pos to_26_6(float f32Pixels) {
  return static_cast<FT_Pos>(std::lround(f32Pixels * 64.0f));
}

FT_Pos floor_pixel(FT_Pos iValue) {
  return iValue >= 0 ? iValue / 64 : -((-iValue + 63) / 64);
}

FT_Pos ceil_pixel(FT_Pos iValue) {
  return -floor_pixel(-iValue);
}

// Loads the glyph with its outline moved to the pen position's fraction of
// a pixel; the whole pixels are left to the caller.
bool load_at(FT_Face pFace, const PlacedGlyphS& rGlyph) {
  if (FT_Load_Glyph(pFace, rGlyph.m_ui32Glyph, LOAD_FLAGS) != 0 ||
      pFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return false;
  }
  FT_Outline_Translate(&pFace->glyph->outline, rGlyph.m_iX & 63, -(rGlyph.m_iY & 63));
  return true;
}

// Shapes each line and places its glyphs; returns the widest line in 26.6.
FT_Pos place_lines(hb_font_t* pFont, const std::string& rText, size_t uShownEnd, const TextStyleS& rStyle,
                   FT_Pos iAscender, FT_Pos iLineAdvance, std::vector<PlacedGlyphS>* pGlyphs, int32_t* pLines) {
  struct LineS {
    std::vector<PlacedGlyphS> m_rGlyphs;
    FT_Pos m_iWidth = 0;
  };
  std::vector<LineS> rLines;
  hb_buffer_t* pBuffer = hb_buffer_create();
  size_t uStart = 0;
  for (;;) {
    size_t uEnd = rText.find('\n', uStart);
    const bool bLast = uEnd == std::string::npos;
    if (bLast) {
      uEnd = rText.size();
    }
    size_t uLineEnd = uEnd > uStart && rText[uEnd - 1] == '\r' ? uEnd - 1 : uEnd;
    LineS rLine;
    hb_buffer_clear_contents(pBuffer);
    hb_buffer_add_utf8(pBuffer, rText.data(), static_cast<int>(rText.size()), static_cast<unsigned>(uStart),
                       static_cast<int>(uLineEnd - uStart));
    hb_buffer_guess_segment_properties(pBuffer);
    hb_shape(pFont, pBuffer, nullptr, 0);
    unsigned uCount = 0;
    const hb_glyph_info_t* pInfos = hb_buffer_get_glyph_infos(pBuffer, &uCount);
    const hb_glyph_position_t* pPositions = hb_buffer_get_glyph_positions(pBuffer, &uCount);
    const FT_Pos iBaseline = iAscender + iLineAdvance * static_cast<FT_Pos>(rLines.size());
    for (unsigned i = 0; i < uCount; ++i) {
      if (pInfos[i].cluster < uShownEnd) {
        rLine.m_rGlyphs.push_back({pInfos[i].codepoint, rLine.m_iWidth + pPositions[i].x_offset,
                                   iBaseline - pPositions[i].y_offset});
      }
      rLine.m_iWidth += pPositions[i].x_advance;
    }
    rLines.push_back(std::move(rLine));
    if (bLast) {
      break;
    }
    uStart = uEnd + 1;
  }
  hb_buffer_destroy(pBuffer);
  FT_Pos iWidest = 0;
  for (const LineS& rLine : rLines) {
    iWidest = std::max(iWidest, rLine.m_iWidth);
  }
  for (const LineS& rLine : rLines) {
    const FT_Pos iShift = rStyle.m_i32Alignment == TEXT_ALIGN_RIGHT    ? iWidest - rLine.m_iWidth
                          : rStyle.m_i32Alignment == TEXT_ALIGN_CENTRE ? (iWidest - rLine.m_iWidth) / 2
                                                                       : 0;
    for (PlacedGlyphS rGlyph : rLine.m_rGlyphs) {
      rGlyph.m_iX += iShift;
      pGlyphs->push_back(rGlyph);
    }
  }
  *pLines = static_cast<int32_t>(rLines.size());
  return iWidest;
}

}  // namespace

FontFaceC::FontFaceC() = default;
FontFaceC::~FontFaceC() = default;

bool FontFaceC::open(const uint8_t* pBytes, uint32_t ui32Size, std::string* pError) {
  auto pFace = std::make_unique<FaceS>();
  if (FT_Init_FreeType(&pFace->m_pLibrary) != 0) {
    *pError = "FreeType does not start";
    return false;
  }
  if (!pBytes || ui32Size > static_cast<uint32_t>(LONG_MAX) ||
      FT_New_Memory_Face(pFace->m_pLibrary, pBytes, static_cast<FT_Long>(ui32Size), 0, &pFace->m_pFace) != 0) {
    *pError = "not a TrueType or OpenType font";
    return false;
  }
  if (pFace->m_pFace->num_glyphs <= 0 || pFace->m_pFace->num_glyphs > FONT_MAX_GLYPHS) {
    *pError = "a font of " + std::to_string(pFace->m_pFace->num_glyphs) + " glyphs";
    return false;
  }
  if (!FT_IS_SCALABLE(pFace->m_pFace)) {
    *pError = "a font of bitmaps only";
    return false;
  }
  // HarfBuzz's font takes the face over.
  pFace->m_pFont = hb_ft_font_create_referenced(pFace->m_pFace);
  FT_Done_Face(pFace->m_pFace);
  hb_ft_font_set_load_flags(pFace->m_pFont, LOAD_FLAGS);
  m_pFace = std::move(pFace);
  return true;
}

std::string FontFaceC::get_name() const {
  if (!m_pFace) {
    return "";
  }
  const FT_Face pFace = m_pFace->m_pFace;
  std::string sName = pFace->family_name ? pFace->family_name : "Unnamed";
  if (pFace->style_name) {
    sName += std::string(" ") + pFace->style_name;
  }
  return sName;
}

int32_t FontFaceC::get_glyph_count() const {
  return m_pFace ? static_cast<int32_t>(m_pFace->m_pFace->num_glyphs) : 0;
}

bool TextLayoutC::set(FontFaceC& rFont, const std::string& rText, const TextStyleS& rStyle, std::string* pError) {
  *this = TextLayoutC();
  if (!rFont.m_pFace) {
    *pError = "no font";
    return false;
  }
  FontFaceC::FaceS& rFace = *rFont.m_pFace;
  const FT_Face pFace = rFace.m_pFace;
  const float f32Size = std::isnan(rStyle.m_f32Size) ? TEXT_MIN_SIZE
                                                       : std::clamp(rStyle.m_f32Size, TEXT_MIN_SIZE, TEXT_MAX_SIZE);
  if (FT_Set_Char_Size(pFace, 0, to_26_6(f32Size), 72, 72) != 0) {
    *pError = "the font cannot be set at " + std::to_string(f32Size) + " pixels";
    return false;
  }
  hb_ft_font_changed(rFace.m_pFont);

  int32_t i32Characters = 0;
  const std::string sText = rText.substr(0, byte_of_character(rText, TEXT_MAX_CHARACTERS, &i32Characters));
  int32_t i32Shown = 0;
  const size_t uShownEnd = byte_of_character(sText, std::max(rStyle.m_i32Shown, 0), &i32Shown);
  const float f32Spacing = std::isnan(rStyle.m_f32LineSpacing) ? 1.0f : std::clamp(rStyle.m_f32LineSpacing, 0.0f, 16.0f);
  const FT_Pos iAscender = pFace->size->metrics.ascender;
  const FT_Pos iDescender = pFace->size->metrics.descender;
  const FT_Pos iLineAdvance = static_cast<FT_Pos>(std::lround(pFace->size->metrics.height * f32Spacing));

  std::vector<PlacedGlyphS> rGlyphs;
  int32_t i32Lines = 0;
  const FT_Pos iWidest = place_lines(rFace.m_pFont, sText, uShownEnd, rStyle, iAscender, iLineAdvance, &rGlyphs, &i32Lines);
  const FT_Pos iLayoutHeight = iAscender - iDescender + iLineAdvance * (i32Lines - 1);

  // The picture: the layout box and every glyph's ink, in whole pixels, but
  // no further than an em around the layout box: a damaged font's glyphs
  // may reach anywhere, and those larger than that whole area are not drawn.
  const FT_Pos iLayoutRight = ceil_pixel(iWidest);
  const FT_Pos iLayoutBottom = ceil_pixel(iLayoutHeight);
  const FT_Pos iMargin = static_cast<FT_Pos>(std::ceil(f32Size));
  FT_Pos iLeft = 0;
  FT_Pos iTop = 0;
  FT_Pos iRight = iLayoutRight;
  FT_Pos iBottom = iLayoutBottom;
  std::vector<bool> rDrawn(rGlyphs.size(), false);
  for (size_t i = 0; i < rGlyphs.size(); ++i) {
    const PlacedGlyphS& rGlyph = rGlyphs[i];
    if (!load_at(pFace, rGlyph)) {
      continue;
    }
    FT_BBox rBox;
    FT_Outline_Get_CBox(&pFace->glyph->outline, &rBox);
    const FT_Pos iGlyphLeft = floor_pixel(rGlyph.m_iX) + floor_pixel(rBox.xMin);
    const FT_Pos iGlyphRight = floor_pixel(rGlyph.m_iX) + ceil_pixel(rBox.xMax);
    const FT_Pos iGlyphTop = floor_pixel(rGlyph.m_iY) - ceil_pixel(rBox.yMax);
    const FT_Pos iGlyphBottom = floor_pixel(rGlyph.m_iY) - floor_pixel(rBox.yMin);
    if (rBox.xMin >= rBox.xMax || rBox.yMin >= rBox.yMax || iGlyphRight - iGlyphLeft > iLayoutRight + 2 * iMargin ||
        iGlyphBottom - iGlyphTop > iLayoutBottom + 2 * iMargin) {
      continue;
    }
    rDrawn[i] = true;
    iLeft = std::max(std::min(iLeft, iGlyphLeft), -iMargin);
    iRight = std::min(std::max(iRight, iGlyphRight), iLayoutRight + iMargin);
    iTop = std::max(std::min(iTop, iGlyphTop), -iMargin);
    iBottom = std::min(std::max(iBottom, iGlyphBottom), iLayoutBottom + iMargin);
  }
  const int64_t i64Width = iRight - iLeft;
  const int64_t i64Height = iBottom - iTop;
  if (i64Width > MAX_VIDEO_SIDE || i64Height > MAX_VIDEO_SIDE || i64Width * i64Height > TEXT_MAX_PIXELS) {
    *pError = "the text's picture of " + std::to_string(i64Width) + " x " + std::to_string(i64Height) +
              " pixels is too large";
    return false;
  }
  m_i32Width = static_cast<int32_t>(std::max<int64_t>(i64Width, 1));
  m_i32Height = static_cast<int32_t>(std::max<int64_t>(i64Height, 1));
  m_i32Left = static_cast<int32_t>(iLeft);
  m_i32Top = static_cast<int32_t>(iTop);
  m_i32LayoutWidth = static_cast<int32_t>(iLayoutRight);
  m_i32LayoutHeight = static_cast<int32_t>(iLayoutBottom);
  m_i32Characters = i32Characters;

  // White everywhere, so that filtering at the edges blends towards the
  // glyphs' colour and not towards black; the ink is the alpha.
  m_rPixels.assign(static_cast<size_t>(m_i32Width) * static_cast<size_t>(m_i32Height) * 4, 255);
  for (size_t i = 3; i < m_rPixels.size(); i += 4) {
    m_rPixels[i] = 0;
  }
  for (size_t i = 0; i < rGlyphs.size(); ++i) {
    const PlacedGlyphS& rGlyph = rGlyphs[i];
    if (!rDrawn[i] || !load_at(pFace, rGlyph) || FT_Render_Glyph(pFace->glyph, FT_RENDER_MODE_NORMAL) != 0) {
      continue;
    }
    const FT_Bitmap& rBitmap = pFace->glyph->bitmap;
    if (rBitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
      continue;
    }
    const int64_t i64X = floor_pixel(rGlyph.m_iX) + pFace->glyph->bitmap_left - iLeft;
    const int64_t i64Y = floor_pixel(rGlyph.m_iY) - pFace->glyph->bitmap_top - iTop;
    for (unsigned uRow = 0; uRow < rBitmap.rows; ++uRow) {
      const int64_t i64Row = i64Y + uRow;
      if (i64Row < 0 || i64Row >= m_i32Height) {
        continue;
      }
      const uint8_t* pSource = rBitmap.buffer + static_cast<ptrdiff_t>(uRow) * rBitmap.pitch;
      for (unsigned uColumn = 0; uColumn < rBitmap.width; ++uColumn) {
        const int64_t i64Column = i64X + uColumn;
        if (i64Column < 0 || i64Column >= m_i32Width) {
          continue;
        }
        uint8_t& rAlpha = m_rPixels[(static_cast<size_t>(i64Row) * m_i32Width + static_cast<size_t>(i64Column)) * 4 + 3];
        rAlpha = std::max(rAlpha, pSource[uColumn]);
      }
    }
  }
  return true;
}
