#ifndef PLATFORM_TEXTLAYOUTC_H
#define PLATFORM_TEXTLAYOUTC_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Text set in a TrueType or OpenType font: shaped with HarfBuzz (kerning,
// ligatures and any script it shapes), its glyphs drawn by FreeType into a
// picture of white pixels whose alpha is the glyphs' coverage.

// A font file in memory, opened once. The bytes must outlive it.
class FontFaceC {
 public:
  FontFaceC();
  FontFaceC(const FontFaceC&) = delete;
  FontFaceC& operator=(const FontFaceC&) = delete;
  ~FontFaceC();

  // False, with the reason, when FreeType does not take the bytes as a font
  // of at most FONT_MAX_GLYPHS glyphs that draws outlines.
  bool open(const uint8_t* pBytes, uint32_t ui32Size, std::string* pError);
  // "DejaVu Sans Book"; empty before open.
  std::string get_name() const;
  int32_t get_glyph_count() const;

 private:
  friend class TextLayoutC;
  struct FaceS;
  std::unique_ptr<FaceS> m_pFace;
};

// The most glyphs a font may have (an OpenType font's glyph ids are 16 bits).
constexpr int32_t FONT_MAX_GLYPHS = 65535;
// The most characters set: longer texts are cut there, before shaping.
constexpr int32_t TEXT_MAX_CHARACTERS = 16384;
// The pixel sizes a font is set at; others are brought into this range.
constexpr float TEXT_MIN_SIZE = 1.0f;
constexpr float TEXT_MAX_SIZE = 1024.0f;
// A text's picture has sides of at most MAX_VIDEO_SIDE and at most this many
// pixels (64 MiB): larger ones are refused before allocation.
constexpr int64_t TEXT_MAX_PIXELS = int64_t{4096} * 4096;

enum TextAlignmentE : int32_t { TEXT_ALIGN_LEFT = 0, TEXT_ALIGN_CENTRE = 1, TEXT_ALIGN_RIGHT = 2 };

struct TextStyleS {
  float m_f32Size = 48.0f;         // pixels per em
  float m_f32LineSpacing = 1.0f;   // times the font's own line height
  int32_t m_i32Alignment = TEXT_ALIGN_LEFT;
  int32_t m_i32Shown = TEXT_MAX_CHARACTERS;  // characters shown from the start
};

// The picture of a text, rows top first, 32-bit RGBA. Its box is given
// relative to the text's layout box, whose top left is (0, 0), x right and
// y down: the lines' advances wide, as many lines high as there are; ink
// that reaches past the layout box widens the picture, by an em at most.
class TextLayoutC {
 public:
  // Sets rText (UTF-8; invalid bytes show as U+FFFD, "\r\n" ends a line as
  // "\n" does). False with the reason when the picture would be too large.
  bool set(FontFaceC& rFont, const std::string& rText, const TextStyleS& rStyle, std::string* pError);

  const std::vector<uint8_t>& get_pixels() const { return m_rPixels; }
  int32_t get_width() const { return m_i32Width; }
  int32_t get_height() const { return m_i32Height; }
  // The picture's top left corner in layout box coordinates.
  int32_t get_left() const { return m_i32Left; }
  int32_t get_top() const { return m_i32Top; }
  int32_t get_layout_width() const { return m_i32LayoutWidth; }
  int32_t get_layout_height() const { return m_i32LayoutHeight; }
  // The characters the text has (after the cut), newlines included.
  int32_t get_character_count() const { return m_i32Characters; }

 private:
  std::vector<uint8_t> m_rPixels;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  int32_t m_i32Left = 0;
  int32_t m_i32Top = 0;
  int32_t m_i32LayoutWidth = 0;
  int32_t m_i32LayoutHeight = 0;
  int32_t m_i32Characters = 0;
};

#endif
