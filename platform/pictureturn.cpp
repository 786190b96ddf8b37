#include "platform/pictureturn.h"

#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/display.h>
}

namespace {

// The clockwise angle in whole degrees, from 0 up to 360.
double clockwise_degrees(const int32_t* pMatrix) {
  double f64Theta = -std::round(av_display_rotation_get(pMatrix));
  f64Theta -= 360.0 * std::floor(f64Theta / 360.0 + 0.9 / 360.0);
  return f64Theta;
}

bool near(double f64Value, double f64Target) {
  return std::fabs(f64Value - f64Target) < 1.0;
}

}  // namespace

// A mirrored matrix (a negative determinant) shows in the signs of its
// elements; each case is the transpose or flips the ffmpeg command inserts.
PictureTurnS picture_turn_from_matrix(const int32_t* pMatrix) {
  PictureTurnS rTurn;
  if (pMatrix == nullptr) {
    return rTurn;
  }
  const double f64Theta = clockwise_degrees(pMatrix);
  if (std::isnan(f64Theta)) {
    return rTurn;
  }
  if (near(f64Theta, 90.0)) {
    rTurn.m_bTranspose = true;
    // Clockwise reads the source bottom to top; mirrored it reads plainly.
    rTurn.m_bFlipY = !(pMatrix[3] > 0);
  } else if (near(f64Theta, 180.0)) {
    rTurn.m_bFlipX = pMatrix[0] < 0;
    rTurn.m_bFlipY = pMatrix[4] < 0;
  } else if (near(f64Theta, 270.0)) {
    rTurn.m_bTranspose = true;
    rTurn.m_bFlipX = true;
    rTurn.m_bFlipY = pMatrix[3] < 0;
  } else if (near(f64Theta, 0.0) || near(f64Theta, 360.0)) {
    rTurn.m_bFlipY = pMatrix[4] < 0;
  }
  return rTurn;
}

void turn_picture(const uint8_t* pSource, int32_t i32Width, int32_t i32Height, int32_t i32SourceStride,
                  const PictureTurnS& rTurn, uint8_t* pOut, int32_t i32OutStride) {
  const int32_t i32OutWidth = rTurn.m_bTranspose ? i32Height : i32Width;
  const int32_t i32OutHeight = rTurn.m_bTranspose ? i32Width : i32Height;
  for (int32_t y = 0; y < i32OutHeight; ++y) {
    uint8_t* pRow = pOut + static_cast<size_t>(y) * static_cast<size_t>(i32OutStride);
    for (int32_t x = 0; x < i32OutWidth; ++x) {
      int32_t i32SourceX = rTurn.m_bTranspose ? y : x;
      int32_t i32SourceY = rTurn.m_bTranspose ? x : y;
      if (rTurn.m_bFlipX) {
        i32SourceX = i32Width - 1 - i32SourceX;
      }
      if (rTurn.m_bFlipY) {
        i32SourceY = i32Height - 1 - i32SourceY;
      }
      std::memcpy(pRow + 4 * static_cast<size_t>(x),
                  pSource + static_cast<size_t>(i32SourceY) * static_cast<size_t>(i32SourceStride) +
                      4 * static_cast<size_t>(i32SourceX),
                  4);
    }
  }
}
