#ifndef TESTS_SUPPORT_RENDEREDFRAMEC_H
#define TESTS_SUPPORT_RENDEREDFRAMEC_H

#include <gtest/gtest.h>

#include <png.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using RgbT = std::array<int, 3>;

// A frame that tiravo --render wrote as DIR/frame-NNNNNN.png, read back as
// RGB; empty when there is no such frame.
class RenderedFrameC {
 public:
  RenderedFrameC(const std::string& rDirectory, int32_t i32Index) {
    char szName[32];
    std::snprintf(szName, sizeof(szName), "/frame-%06d.png", i32Index);
    png_image rImage{};
    rImage.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&rImage, (rDirectory + szName).c_str())) {
      rImage.format = PNG_FORMAT_RGB;
      m_rPixels.resize(PNG_IMAGE_SIZE(rImage));
      png_image_finish_read(&rImage, nullptr, m_rPixels.data(), 0, nullptr);
      m_i32Width = static_cast<int32_t>(rImage.width);
      m_i32Height = static_cast<int32_t>(rImage.height);
    }
  }

  int32_t width() const { return m_i32Width; }
  int32_t height() const { return m_i32Height; }

  // The pixel whose lower left corner is at layout coordinates (x, y), y up.
  RgbT at(int32_t i32X, int32_t i32Y) const {
    const size_t uOffset = (static_cast<size_t>(m_i32Height - 1 - i32Y) * m_i32Width + i32X) * 3;
    return {m_rPixels[uOffset], m_rPixels[uOffset + 1], m_rPixels[uOffset + 2]};
  }

 private:
  std::vector<uint8_t> m_rPixels;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
};

inline void expect_colour(const RgbT& rExpected, const RgbT& rActual, const std::string& rWhat, int iTolerance) {
  for (size_t c = 0; c < 3; ++c) {
    EXPECT_NEAR(rExpected[c], rActual[c], iTolerance) << rWhat << ", component " << c;
  }
}

#endif
