#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/pngwriter.h"
#include "tests/support/tempfilec.h"

namespace {

// The file read back with libpng's simplified reader, as RGB.
std::vector<uint8_t> read_png(const char* szPath, uint32_t* pWidth, uint32_t* pHeight) {
  png_image rImage{};
  rImage.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&rImage, szPath)) {
    return {};
  }
  rImage.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rPixels(PNG_IMAGE_SIZE(rImage));
  png_image_finish_read(&rImage, nullptr, rPixels.data(), 0, nullptr);
  *pWidth = rImage.width;
  *pHeight = rImage.height;
  return rPixels;
}

TEST(PngWriter, PixelsComeBackTopRowFirst) {
  TempFileC rFile;
  // 2 × 2: red, green / blue, white.
  const std::vector<uint8_t> rPixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
  ASSERT_TRUE(write_png_rgb(rFile.path(), rPixels.data(), 2, 2));
  uint32_t ui32Width = 0;
  uint32_t ui32Height = 0;
  EXPECT_EQ(rPixels, read_png(rFile.path(), &ui32Width, &ui32Height));
  EXPECT_EQ(2u, ui32Width);
  EXPECT_EQ(2u, ui32Height);
}

TEST(PngWriter, FailuresAreReported) {
  const uint8_t rPixel[3] = {1, 2, 3};
  EXPECT_FALSE(write_png_rgb("/nonexistent-directory/frame.png", rPixel, 1, 1));
  TempFileC rFile;
  EXPECT_FALSE(write_png_rgb(rFile.path(), rPixel, 0, 1));
}

}  // namespace
