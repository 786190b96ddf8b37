// Fonts through FreeType and HarfBuzz as the Text effect sets its text in
// them: Latin with kerning pairs, a combining mark, Arabic and Devanagari,
// on two lines, at a small and a large size, revealed in part.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/textlayoutc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  if (uiSize > std::numeric_limits<uint32_t>::max()) {
    return 0;
  }
  FontFaceC rFont;
  std::string sError;
  if (!rFont.open(pData, static_cast<uint32_t>(uiSize), &sError)) {
    return 0;
  }
  const std::string sText = "AVATAR fi e\xCC\x81 W.\n\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87";
  TextLayoutC rLayout;
  TextStyleS rStyle;
  rStyle.m_f32Size = 12.0f;
  rLayout.set(rFont, sText, rStyle, &sError);
  rStyle.m_f32Size = 96.0f;
  rStyle.m_i32Alignment = TEXT_ALIGN_CENTRE;
  rStyle.m_i32Shown = 9;
  rLayout.set(rFont, sText, rStyle, &sError);
  return 0;
}
