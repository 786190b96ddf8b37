#ifndef TESTS_VERNISK_FREETYPEREFERENCE_H
#define TESTS_VERNISK_FREETYPEREFERENCE_H

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <string>

// The ink box of a line of ASCII text without kerning pairs, worked out from
// FreeType's own metrics alone, without HarfBuzz: each glyph's unhinted
// outline box at the sum of the advances before it, in whole pixels, x
// right and y down from the top of the line's box (the font's ascender).
struct InkBoxS {
  long m_iLeft = 0;
  long m_iTop = 0;
  long m_iRight = 0;
  long m_iBottom = 0;
  long m_iAdvance = 0;  // the line's advance, 26.6
};

inline long floor64(long iValue) { return iValue >= 0 ? iValue / 64 : -((-iValue + 63) / 64); }
inline long ceil64(long iValue) { return -floor64(-iValue); }

inline InkBoxS freetype_ink_box(const char* szFont, const std::string& rText, float f32Size) {
  InkBoxS rBox;
  FT_Library pLibrary = nullptr;
  FT_Face pFace = nullptr;
  if (FT_Init_FreeType(&pLibrary) != 0 || FT_New_Face(pLibrary, szFont, 0, &pFace) != 0) {
    return rBox;
  }
  FT_Set_Char_Size(pFace, 0, static_cast<FT_F26Dot6>(f32Size * 64.0f), 72, 72);
  const long iAscender = pFace->size->metrics.ascender;
  bool bFirst = true;
  long iPen = 0;
  for (const char c : rText) {
    FT_Load_Glyph(pFace, FT_Get_Char_Index(pFace, static_cast<FT_ULong>(c)), FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
    FT_Outline_Translate(&pFace->glyph->outline, iPen & 63, -(iAscender & 63));
    FT_BBox rCbox;
    FT_Outline_Get_CBox(&pFace->glyph->outline, &rCbox);
    const long iLeft = floor64(iPen) + floor64(rCbox.xMin);
    const long iRight = floor64(iPen) + ceil64(rCbox.xMax);
    const long iTop = floor64(iAscender) - ceil64(rCbox.yMax);
    const long iBottom = floor64(iAscender) - floor64(rCbox.yMin);
    if (rCbox.xMax > rCbox.xMin) {
      rBox.m_iLeft = bFirst ? iLeft : std::min(rBox.m_iLeft, iLeft);
      rBox.m_iRight = bFirst ? iRight : std::max(rBox.m_iRight, iRight);
      rBox.m_iTop = bFirst ? iTop : std::min(rBox.m_iTop, iTop);
      rBox.m_iBottom = bFirst ? iBottom : std::max(rBox.m_iBottom, iBottom);
      bFirst = false;
    }
    iPen += pFace->glyph->advance.x;
  }
  rBox.m_iAdvance = iPen;
  FT_Done_Face(pFace);
  FT_Done_FreeType(pLibrary);
  return rBox;
}

#endif
