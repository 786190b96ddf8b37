#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "corelib/classdescc.h"
#include "corelib/graphicsimportablec.h"
#include "tests/support/documentfilec.h"
#include "tests/vernisk/vernisktest.h"

namespace {

class ImageImportTest : public VerniskTest {
 protected:
  void SetUp() override {
    VerniskTest::SetUp();
    load_plugins();
  }
};

TEST_F(ImageImportTest, DescriptorNamesTheVideoFamilyAndEveryExtension) {
  PluginClass::ClassDescC* pDesc = m_rRegistry.find_class(IMAGE_IMPORT_CLASS);
  ASSERT_NE(nullptr, pDesc);
  EXPECT_EQ(PluginClass::CLASS_KIND_IMPORTABLE, pDesc->get_class_kind());
  EXPECT_EQ(0x02000002u, pDesc->get_super_class_ident().get_value());
  EXPECT_STREQ("Image", pDesc->get_class_name());
  std::string sExtensions;
  for (int32_t i = 0; i < pDesc->get_extension_count(); ++i) {
    sExtensions += std::string(pDesc->get_extension(i)) + " ";
  }
  EXPECT_EQ("PNG JPG JPEG WEBP BMP TGA TIF TIFF GIF ", sExtensions);
  EXPECT_EQ(nullptr, pDesc->get_extension(pDesc->get_extension_count()));
  EXPECT_EQ(nullptr, pDesc->get_extension(-1));
}

// One frame at any time, the pixels as decoded, the Video Player its effect.
TEST_F(ImageImportTest, ImageIsAVideoOfOneFrame) {
  OwnedT<GraphicsImportableC> pImage = create<GraphicsImportableC>(IMAGE_IMPORT_CLASS);
  EXPECT_STREQ("No Image", pImage->get_info());
  EXPECT_EQ(-1, pImage->get_duration(nullptr));
  EXPECT_EQ(nullptr, pImage->get_data());
  ASSERT_TRUE(pImage->load_file(media("pattern.png").c_str(), nullptr));
  EXPECT_EQ(0x02000002u, pImage->get_super_class_ident().get_value());
  EXPECT_EQ(24, pImage->get_width());
  EXPECT_EQ(16, pImage->get_height());
  EXPECT_EQ(32, pImage->get_bit_depth());
  EXPECT_EQ(1, pImage->get_frame_count());
  EXPECT_EQ(0.0f, pImage->get_fps());
  EXPECT_EQ(0, pImage->get_duration(nullptr));
  EXPECT_STREQ("24 x 16 x 32BPP PNG image", pImage->get_info());
  EXPECT_EQ(ClassIdentC(0x311832A9, 0x166D4653), pImage->get_default_effect());
  const std::vector<uint8_t> rExpected = read_bytes(media("pattern.png.rgba"));
  ASSERT_NE(nullptr, pImage->get_data());
  EXPECT_EQ(0, std::memcmp(rExpected.data(), pImage->get_data(), rExpected.size()));
}

TEST_F(ImageImportTest, FileThatIsNoPictureLeavesTheImageAsItWas) {
  OwnedT<GraphicsImportableC> pImage = create<GraphicsImportableC>(IMAGE_IMPORT_CLASS);
  ASSERT_TRUE(pImage->load_file(media("opaque.jpg").c_str(), nullptr));
  write_text(m_rDirectory.file("fake.png"), "\x89PNG\r\n\x1a\n not really");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(pImage->load_file(m_rDirectory.file("fake.png").c_str(), nullptr));
  EXPECT_FALSE(pImage->load_file(m_rDirectory.file("absent.png").c_str(), nullptr));
  const std::string sError = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, sError.find("fake.png cannot be shown")) << sError;
  EXPECT_NE(std::string::npos, sError.find("absent.png cannot be read")) << sError;
  EXPECT_EQ(media("opaque.jpg"), pImage->get_file_name());
  EXPECT_EQ(24, pImage->get_bit_depth());
}

// The document keeps the file whole: loaded back, the picture is there
// without the file.
TEST_F(ImageImportTest, DocumentKeepsTheWholeFile) {
  OwnedT<GraphicsImportableC> pImage = create<GraphicsImportableC>(IMAGE_IMPORT_CLASS);
  ASSERT_TRUE(pImage->load_file(media("pattern.webp").c_str(), nullptr));
  DocumentFileC rDocument;
  EXPECT_EQ(CHUNK_OK, rDocument.save(pImage.get()));
  OwnedT<GraphicsImportableC> pLoaded = create<GraphicsImportableC>(IMAGE_IMPORT_CLASS);
  EXPECT_EQ(CHUNK_END, rDocument.load(pLoaded.get()));
  EXPECT_EQ(media("pattern.webp"), pLoaded->get_file_name());
  EXPECT_STREQ("24 x 16 x 32BPP WebP image", pLoaded->get_info());
  EXPECT_EQ(0, std::memcmp(pImage->get_data(), pLoaded->get_data(), 24 * 16 * 4));
}

// A stored size larger than the chunk: what is there is kept, the load says
// it is damaged, and the truncated picture is refused without a crash.
TEST_F(ImageImportTest, TruncatedDocumentIsDamaged) {
  const std::vector<uint8_t> rPng = read_bytes(media("pattern.png"));
  BytesT rPayload = bytes_of(static_cast<uint32_t>(rPng.size() + 1000));
  rPayload.insert(rPayload.end(), rPng.begin(), rPng.begin() + 100);
  DocumentFileC rDocument;
  rDocument.write_payload(chunk(0x2000, 1, rPayload));
  OwnedT<GraphicsImportableC> pLoaded = create<GraphicsImportableC>(IMAGE_IMPORT_CLASS);
  testing::internal::CaptureStderr();
  EXPECT_EQ(CHUNK_DAMAGED, rDocument.load(pLoaded.get()));
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(0, pLoaded->get_width());
  EXPECT_EQ(nullptr, pLoaded->get_data());
}

// The Video Player shows the image at any time, blended by its alpha over
// the black the frame is cleared to: the pixel is colour × alpha.
TEST_F(ImageImportTest, VideoPlayerShowsTheImageWithItsAlpha) {
  const std::string sDescription = R"({
    "scene": {"end_time": 4096, "layout_width": 24, "layout_height": 16, "layers": [{
      "time_segment": [0, 8192],
      "effects": [{"class": "Video Player", "time_segment": [0, 8192],
                   "params": {"Transform": {"Position": [12, 8]},
                              "Attributes": {"Video": 0, "Filter mode": 1}}}]}]},
    "files": [{"file_name": ")" + media("pattern.tga") + R"("}]})";
  const TiravoProcessC::ResultS rResult = render(sDescription);
  ASSERT_EQ(0, rResult.m_iExitCode) << rResult.m_sError;
  const std::vector<uint8_t> rExpected = read_bytes(media("pattern.tga.rgba"));
  for (int32_t i32Frame = 0; i32Frame < 3; ++i32Frame) {
    const RenderedFrameC rFrame = frame(i32Frame);
    ASSERT_EQ(24, rFrame.width());
    for (int32_t y = 0; y < 16; ++y) {
      for (int32_t x = 0; x < 24; ++x) {
        const uint8_t* pPixel = &rExpected[(static_cast<size_t>(y) * 24 + x) * 4];
        const RgbT rColour = {pPixel[0] * pPixel[3] / 255, pPixel[1] * pPixel[3] / 255, pPixel[2] * pPixel[3] / 255};
        expect_colour(rColour, rFrame.at(x, 15 - y),
                      "frame " + std::to_string(i32Frame) + " at " + std::to_string(x) + ", " + std::to_string(y), 2);
      }
    }
  }
}

}  // namespace
