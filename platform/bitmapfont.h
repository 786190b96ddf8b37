#ifndef PLATFORM_BITMAPFONT_H
#define PLATFORM_BITMAPFONT_H

#include <SDL2/SDL.h>

#include <cstdint>

// A fixed-width 5 × 8 pixel font for the printable ASCII characters, so the dialog
// needs no font library. Rows 0–6 hold capitals and digits, row 7 the descenders.
constexpr int32_t BITMAP_FONT_GLYPH_WIDTH = 5;
constexpr int32_t BITMAP_FONT_GLYPH_HEIGHT = 8;
// Advance from one character to the next, at scale 1.
constexpr int32_t BITMAP_FONT_CELL_WIDTH = 6;
// Height of a line of text with its spacing, at scale 1.
constexpr int32_t BITMAP_FONT_LINE_HEIGHT = 13;

// The glyph's 8 rows, top first; bit 4 is the leftmost column. Characters outside
// the printable ASCII range come back as '?'.
const uint8_t* bitmap_font_glyph(char cCharacter);

// Width in pixels of the text drawn at the scale, without the spacing after the
// last character.
int32_t bitmap_font_text_width(const char* szText, int32_t i32Scale);

// Draws the text with the renderer's current colour, each font pixel a square of
// i32Scale pixels, its top-left corner at (i32X, i32Y).
void bitmap_font_draw(SDL_Renderer* pRenderer, int32_t i32X, int32_t i32Y, const char* szText, int32_t i32Scale);

#endif
