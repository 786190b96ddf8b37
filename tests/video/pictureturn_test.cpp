// Turning pictures upright by display matrices made the way libavutil makes
// them: rotations and their mirror images, checked pixel by pixel on a 3 × 2
// picture whose pixels are all different.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/pictureturn.h"

extern "C" {
#include <libavutil/display.h>
}

namespace {

// Pixel (x, y) of the source holds the number 10 × y + x.
constexpr int32_t WIDTH = 3;
constexpr int32_t HEIGHT = 2;

std::vector<uint32_t> turned(double f64Clockwise, bool bMirrored) {
  int32_t rMatrix[9];
  av_display_rotation_set(rMatrix, f64Clockwise);
  if (bMirrored) {
    av_display_matrix_flip(rMatrix, 1, 0);
  }
  const PictureTurnS rTurn = picture_turn_from_matrix(rMatrix);
  std::vector<uint32_t> rSource;
  for (uint32_t y = 0; y < HEIGHT; ++y) {
    for (uint32_t x = 0; x < WIDTH; ++x) {
      rSource.push_back(10 * y + x);
    }
  }
  std::vector<uint32_t> rOut(WIDTH * HEIGHT);
  const int32_t i32OutWidth = rTurn.m_bTranspose ? HEIGHT : WIDTH;
  turn_picture(reinterpret_cast<const uint8_t*>(rSource.data()), WIDTH, HEIGHT, WIDTH * 4, rTurn,
               reinterpret_cast<uint8_t*>(rOut.data()), i32OutWidth * 4);
  return rOut;
}

using PixelsT = std::vector<uint32_t>;

TEST(PictureTurn, RotationsTurnThePictureUpright) {
  // The matrix of a phone held upright (libavutil's clockwise 90 degrees,
  // which its reader gives as -90): the picture turns clockwise.
  EXPECT_EQ(turned(90, false), (PixelsT{10, 0, 11, 1, 12, 2}));
  EXPECT_EQ(turned(180, false), (PixelsT{12, 11, 10, 2, 1, 0}));
  EXPECT_EQ(turned(-90, false), (PixelsT{2, 12, 1, 11, 0, 10}));
  EXPECT_EQ(turned(0, false), (PixelsT{0, 1, 2, 10, 11, 12}));
  EXPECT_FALSE(picture_turn_from_matrix(nullptr).turns());
}

TEST(PictureTurn, MirroredMatricesAlsoFlip) {
  EXPECT_EQ(turned(0, true), (PixelsT{2, 1, 0, 12, 11, 10}));
  EXPECT_EQ(turned(180, true), (PixelsT{10, 11, 12, 0, 1, 2}));
  // Mirrored quarter turns: the picture is transposed, read one way or the other.
  EXPECT_EQ(turned(-90, true), (PixelsT{12, 2, 11, 1, 10, 0}));
  EXPECT_EQ(turned(90, true), (PixelsT{0, 10, 1, 11, 2, 12}));
}

TEST(PictureTurn, OtherAnglesAreLeftAsTheyAre) {
  int32_t rMatrix[9];
  av_display_rotation_set(rMatrix, 45);
  EXPECT_FALSE(picture_turn_from_matrix(rMatrix).turns());
  const int32_t rZero[9] = {};
  EXPECT_FALSE(picture_turn_from_matrix(rZero).turns());
}

}  // namespace
