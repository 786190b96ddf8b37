#ifndef PLATFORM_PICTURETURN_H
#define PLATFORM_PICTURETURN_H

#include <cstdint>

// How a picture is turned upright for display, as a container's display
// matrix asks (phones record sideways and say so there): whether rows
// become columns, and whether the source is read right to left or bottom
// to top. Turns of other angles than multiples of 90 degrees are not made.
struct PictureTurnS {
  bool m_bTranspose = false;
  bool m_bFlipX = false;
  bool m_bFlipY = false;

  bool turns() const { return m_bTranspose || m_bFlipX || m_bFlipY; }
};

// The turn the ffmpeg command makes when it rotates a picture upright, for
// a display matrix of nine 16.16 and 2.30 fixed-point numbers (null: none).
PictureTurnS picture_turn_from_matrix(const int32_t* pMatrix);

// Copies a picture of 32-bit pixels, i32Width × i32Height, turned: the
// output is i32Height × i32Width when the turn transposes.
void turn_picture(const uint8_t* pSource, int32_t i32Width, int32_t i32Height, int32_t i32SourceStride,
                  const PictureTurnS& rTurn, uint8_t* pOut, int32_t i32OutStride);

#endif
