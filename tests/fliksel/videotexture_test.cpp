// The texture both video importables upload their frames into, on Mesa's
// software renderer, read back from OpenGL: pixel order, row padding, alpha,
// and storage that follows the picture's size and format.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "corelib/graphicsimportablec.h"
#include "plugins/video/videotexturec.h"
#include "tests/support/offscreenglc.h"

namespace {

using BytesT = std::vector<uint8_t>;

class VideoTextureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_rGl.ok()) << SDL_GetError(); }
  void TearDown() override {
    m_rTexture.destroy();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

  // The bound texture's level 0: its size, and its texels as RGBA.
  static BytesT read_back(int32_t& rWidth, int32_t& rHeight) {
    GLint iWidth = 0;
    GLint iHeight = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &iWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &iHeight);
    rWidth = iWidth;
    rHeight = iHeight;
    BytesT rTexels(static_cast<size_t>(iWidth) * iHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rTexels.data());
    return rTexels;
  }

  // A picture of RGBA pixels whose bytes tell place, channel and seed.
  static BytesT rgba_picture(int32_t i32Width, int32_t i32Height, int32_t i32Seed) {
    BytesT r(static_cast<size_t>(i32Width) * i32Height * 4);
    for (size_t i = 0; i < r.size(); ++i) {
      r[i] = static_cast<uint8_t>(i * 7 + i32Seed * 31);
    }
    return r;
  }

  ::testing::AssertionResult holds_rgba(const BytesT& rPicture, int32_t i32Width, int32_t i32Height) {
    int32_t i32ReadWidth = 0;
    int32_t i32ReadHeight = 0;
    const BytesT rTexels = read_back(i32ReadWidth, i32ReadHeight);
    if (i32ReadWidth != i32Width || i32ReadHeight != i32Height) {
      return ::testing::AssertionFailure() << "texture is " << i32ReadWidth << " x " << i32ReadHeight;
    }
    if (rTexels != rPicture) {
      return ::testing::AssertionFailure() << "texels differ";
    }
    return ::testing::AssertionSuccess();
  }

  OffscreenGlC m_rGl{64, 64};
  VideoTextureC m_rTexture;
};

TEST_F(VideoTextureTest, RgbaPixelsReadBackExactlyAlphaIncluded) {
  const BytesT rPicture = rgba_picture(5, 3, 1);
  m_rTexture.bind(BIND_LINEAR | BIND_CLAMP);
  m_rTexture.upload(0, rPicture.data(), 5, 3, PICTURE_RGBA32);
  EXPECT_TRUE(holds_rgba(rPicture, 5, 3));
  GLint iAlphaBits = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &iAlphaBits);
  EXPECT_EQ(iAlphaBits, 8);
  GLint iFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &iFilter);
  EXPECT_EQ(iFilter, GL_LINEAR);
}

TEST_F(VideoTextureTest, BgrRowsPaddedToFourBytesReadBackOpaque) {
  // 5 pixels of 3 bytes: rows of 15 bytes padded to 16, the padding junk.
  BytesT rRows(16 * 3, 0xEE);
  BytesT rExpected;
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      for (int32_t c = 0; c < 3; ++c) {
        rRows[static_cast<size_t>(y * 16 + x * 3 + c)] = static_cast<uint8_t>(y * 60 + x * 11 + c * 3);
      }
      for (int32_t c = 2; c >= 0; --c) {
        rExpected.push_back(static_cast<uint8_t>(y * 60 + x * 11 + c * 3));
      }
      rExpected.push_back(255);
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // whatever else set it, rows are padded
  m_rTexture.bind(0);
  m_rTexture.upload(0, rRows.data(), 5, 3, PICTURE_BGR24);
  EXPECT_TRUE(holds_rgba(rExpected, 5, 3));
}

TEST_F(VideoTextureTest, StorageFollowsSizeAndFormatWhileTheTextureStaysOne) {
  m_rTexture.bind(0);
  GLint iName = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &iName);
  ASSERT_NE(iName, 0);
  struct StepC {
    int32_t m_i32Width, m_i32Height;
  };
  int32_t i32Frame = 0;
  for (const StepC& rStep : {StepC{4, 4}, StepC{4, 4}, StepC{6, 2}, StepC{2, 6}, StepC{4, 4}}) {
    const BytesT rPicture = rgba_picture(rStep.m_i32Width, rStep.m_i32Height, i32Frame);
    m_rTexture.bind(0);
    EXPECT_FALSE(m_rTexture.holds(i32Frame));
    m_rTexture.upload(i32Frame, rPicture.data(), rStep.m_i32Width, rStep.m_i32Height, PICTURE_RGBA32);
    EXPECT_TRUE(m_rTexture.holds(i32Frame));
    EXPECT_TRUE(holds_rgba(rPicture, rStep.m_i32Width, rStep.m_i32Height)) << "frame " << i32Frame;
    ++i32Frame;
  }
  // From RGBA to BGR at the same size: the alpha channel goes.
  const BytesT rBgr(4 * 4 * 3, 0x40);
  m_rTexture.upload(i32Frame, rBgr.data(), 4, 4, PICTURE_BGR24);
  BytesT rOpaque(4 * 4 * 4, 0x40);
  for (size_t i = 3; i < rOpaque.size(); i += 4) {
    rOpaque[i] = 255;
  }
  EXPECT_TRUE(holds_rgba(rOpaque, 4, 4));
  GLint iBound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &iBound);
  EXPECT_EQ(iBound, iName);
}

TEST_F(VideoTextureTest, ACopyThatForgetsDoesNotTrustStorageTheOriginalResized) {
  // A restore copy shares the texture; the original then shows a larger
  // video. The copy's next upload must allocate again, not write a 4 x 4
  // corner into the 8 x 8 storage.
  const BytesT rSmall = rgba_picture(4, 4, 1);
  m_rTexture.bind(0);
  m_rTexture.upload(3, rSmall.data(), 4, 4, PICTURE_RGBA32);
  VideoTextureC rCopy = m_rTexture;
  rCopy.forget();
  EXPECT_FALSE(rCopy.holds(3));
  const BytesT rLarge = rgba_picture(8, 8, 2);
  m_rTexture.upload(4, rLarge.data(), 8, 8, PICTURE_RGBA32);
  rCopy.bind(0);
  rCopy.upload(3, rSmall.data(), 4, 4, PICTURE_RGBA32);
  EXPECT_TRUE(holds_rgba(rSmall, 4, 4));
}

}  // namespace
