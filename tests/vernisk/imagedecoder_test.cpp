#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/imagedecoder.h"
#include "tests/vernisk/vernisktest.h"

namespace {

struct ImageCaseS {
  const char* m_szName;
  ImageFormatE m_eFormat;
  bool m_bAlpha;
};

// Every format, decoded from the ffmpeg command's file, equals the command's
// own decode to 32-bit RGBA byte for byte, alpha included.
TEST(ImageDecoderTest, EveryFormatDecodesAsTheFfmpegCommandDoes) {
  const ImageCaseS rCases[] = {
      {"pattern.png", IMAGE_PNG, true},   {"pattern.webp", IMAGE_WEBP, true}, {"pattern.bmp", IMAGE_BMP, true},
      {"pattern.tga", IMAGE_TGA, true},   {"pattern.tiff", IMAGE_TIFF, true}, {"opaque.jpg", IMAGE_JPEG, false},
      {"opaque.bmp", IMAGE_BMP, false},   {"frames.gif", IMAGE_GIF, false},
  };
  for (const ImageCaseS& rCase : rCases) {
    SCOPED_TRACE(rCase.m_szName);
    const std::vector<uint8_t> rFile = read_bytes(media(rCase.m_szName));
    const std::vector<uint8_t> rExpected = read_bytes(media(std::string(rCase.m_szName) + ".rgba"));
    ASSERT_FALSE(rFile.empty());
    EXPECT_EQ(rCase.m_eFormat, image_format(rFile.data(), static_cast<uint32_t>(rFile.size())));
    DecodedImageC rImage;
    std::string sError;
    ASSERT_TRUE(rImage.decode(rFile.data(), static_cast<uint32_t>(rFile.size()), &sError)) << sError;
    EXPECT_EQ(rCase.m_eFormat, rImage.get_format());
    EXPECT_EQ(rCase.m_bAlpha, rImage.has_alpha());
    const size_t uSize = static_cast<size_t>(rImage.get_width()) * rImage.get_height() * 4;
    ASSERT_EQ(rExpected.size(), uSize);
    EXPECT_EQ(0, std::memcmp(rExpected.data(), rImage.get_pixels(), uSize));
  }
}

TEST(ImageDecoderTest, PatternKeepsItsSizeAndAlpha) {
  const std::vector<uint8_t> rFile = read_bytes(media("pattern.png"));
  DecodedImageC rImage;
  std::string sError;
  ASSERT_TRUE(rImage.decode(rFile.data(), static_cast<uint32_t>(rFile.size()), &sError));
  EXPECT_EQ(24, rImage.get_width());
  EXPECT_EQ(16, rImage.get_height());
  // Pixel (x, y): red 10x, green 15y, blue 128 + 4x, alpha fading from x = 12.
  const uint8_t* pPixel = rImage.get_pixels() + (3 * 24 + 20) * 4;
  EXPECT_EQ(200, pPixel[0]);
  EXPECT_EQ(45, pPixel[1]);
  EXPECT_EQ(208, pPixel[2]);
  EXPECT_EQ(255 - 18 * 9, pPixel[3]);
  EXPECT_EQ(255, rImage.get_pixels()[3]);
}

// A GIF is its first frame.
TEST(ImageDecoderTest, GifIsItsFirstFrame) {
  const std::vector<uint8_t> rFile = read_bytes(media("frames.gif"));
  DecodedImageC rImage;
  std::string sError;
  ASSERT_TRUE(rImage.decode(rFile.data(), static_cast<uint32_t>(rFile.size()), &sError)) << sError;
  const uint8_t* pLeft = rImage.get_pixels();
  const uint8_t* pRight = rImage.get_pixels() + 12 * 4;
  EXPECT_GT(pLeft[0], 240);
  EXPECT_LT(pLeft[2], 16);
  EXPECT_GT(pRight[2], 240);
  EXPECT_LT(pRight[1], 16);
}

std::vector<uint8_t> bmp_header(int32_t i32Width, int32_t i32Height) {
  std::vector<uint8_t> rBytes(54, 0);
  auto put32 = [&](size_t uAt, uint32_t ui32Value) {
    for (int i = 0; i < 4; ++i) {
      rBytes[uAt + i] = static_cast<uint8_t>(ui32Value >> (8 * i));
    }
  };
  rBytes[0] = 'B';
  rBytes[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(i32Width));
  put32(22, static_cast<uint32_t>(i32Height));
  rBytes[26] = 1;
  rBytes[28] = 32;
  return rBytes;
}

// Damaged and hostile files are refused with a reason, nothing allocated for
// the sizes they claim, and the decoder keeps no picture.
TEST(ImageDecoderTest, DamagedFilesAreRefusedWithAReason) {
  std::vector<std::vector<uint8_t>> rInputs;
  rInputs.push_back({});
  rInputs.push_back({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  std::vector<uint8_t> rPng = read_bytes(media("pattern.png"));
  rPng.resize(40);
  rInputs.push_back(rPng);
  // 100000 × 100000 pixels of 32 bits claimed by 54 bytes.
  rInputs.push_back(bmp_header(100000, 100000));
  rInputs.push_back(bmp_header(70000, 1));
  for (const std::vector<uint8_t>& rInput : rInputs) {
    DecodedImageC rImage;
    std::string sError;
    EXPECT_FALSE(rImage.decode(rInput.data(), static_cast<uint32_t>(rInput.size()), &sError)) << rInput.size();
    EXPECT_FALSE(sError.empty());
    EXPECT_EQ(nullptr, rImage.get_pixels());
    EXPECT_EQ(0, rImage.get_width());
  }
}

}  // namespace
