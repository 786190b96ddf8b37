#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "corelib/timebasec.h"
#include "tests/fliksel/allocationwatch.h"
#include "tests/fliksel/flikseltest.h"
#include "tests/fliksel/importchunks.h"
#include "tests/support/chunkbytes.h"
#include "tests/support/documentfilec.h"
#include "tests/support/tempfilec.h"

namespace {

class AviImportTest : public FlikselTest {
 protected:
  void SetUp() override { load_plugins(); }
};

TEST_F(AviImportTest, AnswersQueriesWithAndWithoutAVideo) {
  OwnedT<GraphicsImportableC> pEmpty = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  TimeBaseC rDefaultTiming(120, 4, 2);
  EXPECT_STREQ("No Player", pEmpty->get_info());
  EXPECT_EQ(-1, pEmpty->get_duration(&rDefaultTiming));
  EXPECT_EQ(0, pEmpty->get_width());
  EXPECT_EQ(0.0f, pEmpty->get_fps());

  OwnedT<GraphicsImportableC> pVideo = import("solid.avi");
  EXPECT_STREQ("64 x 32 x 24BPP @ 25.0 FPS", pVideo->get_info());
  EXPECT_EQ(media("solid.avi"), pVideo->get_file_name());
  EXPECT_EQ(64, pVideo->get_width());
  EXPECT_EQ(32, pVideo->get_height());
  EXPECT_EQ(24, pVideo->get_bit_depth());
  EXPECT_EQ(SOLID_FRAME_COUNT, pVideo->get_frame_count());
  EXPECT_EQ(25.0f, pVideo->get_fps());
  EXPECT_EQ(0, pVideo->get_first_frame());
  // 100 frames at 25 per second last 4 s: 4 × 2048 ticks, or 4 × 1536 at 90 beats of 4.
  EXPECT_EQ(8192, pVideo->get_duration(&rDefaultTiming));
  TimeBaseC rSlowTiming(90, 4, 8);
  EXPECT_EQ(6144, pVideo->get_duration(&rSlowTiming));
  EXPECT_EQ(100.0f, pVideo->get_last_label(&rDefaultTiming));
}

TEST_F(AviImportTest, LoadFileRefusesWhatIsNoAviAndKeepsThePreviousVideo) {
  OwnedT<GraphicsImportableC> pVideo = import("solid.avi");
  TempFileC rWave;
  rWave.write_bytes(concat({text_bytes("RIFF"), bytes_of<uint32_t>(36), text_bytes("WAVEfmt "), bytes_of<uint32_t>(16),
                            BytesT(16, 0), text_bytes("data"), bytes_of<uint32_t>(0)}));
  TempFileC rShort;
  rShort.write_bytes(concat({text_bytes("RIFF"), bytes_of<uint32_t>(16), text_bytes("AV")}));
  EXPECT_FALSE(pVideo->load_file(rWave.path(), nullptr));
  EXPECT_FALSE(pVideo->load_file(rShort.path(), nullptr));
  EXPECT_FALSE(pVideo->load_file(m_rDirectory.file("missing.avi").c_str(), nullptr));
  EXPECT_EQ(media("solid.avi"), pVideo->get_file_name());
  EXPECT_STREQ("64 x 32 x 24BPP @ 25.0 FPS", pVideo->get_info());
  EXPECT_EQ(SOLID_FRAME_COUNT, pVideo->get_frame_count());
}

// The noise video is megabytes large: one copy of it must be all that
// importing and loading hold, and a document must carry all of it.
TEST_F(AviImportTest, DocumentCarriesTheWholeFileHeldOnce) {
  const std::string sPath = media("noise.avi");
  const BytesT rFile = file_bytes(sPath);
  ASSERT_GT(rFile.size(), 2u << 20);
  OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  AllocationWatchN::reset();
  ASSERT_TRUE(pVideo->load_file(sPath.c_str(), nullptr));
  EXPECT_LT(AllocationWatchN::peak_growth(), rFile.size() + rFile.size() / 4);

  DocumentFileC rDocument;
  EXPECT_EQ(CHUNK_OK, rDocument.save(pVideo.get()));
  const BytesT rExpected = stored_file(sPath, rFile);
  EXPECT_TRUE(rExpected == rDocument.payload()) << "payload of " << rDocument.payload().size() << " bytes";

  OwnedT<GraphicsImportableC> pLoaded = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  AllocationWatchN::reset();
  EXPECT_EQ(CHUNK_END, rDocument.load(pLoaded.get()));
  EXPECT_GE(AllocationWatchN::peak_growth(), rFile.size());
  EXPECT_LT(AllocationWatchN::peak_growth(), rFile.size() + rFile.size() / 4);
  EXPECT_EQ(sPath, pLoaded->get_file_name());
  EXPECT_STREQ("256 x 256 x 24BPP @ 25.0 FPS", pLoaded->get_info());
  DocumentFileC rAgain;
  EXPECT_EQ(CHUNK_OK, rAgain.save(pLoaded.get()));
  EXPECT_TRUE(rExpected == rAgain.payload());
}

// A stored size beyond what its chunk holds is damage, whether or not the
// file has that many bytes after it; it is never allocated, and what the
// chunk does hold is parsed.
TEST_F(AviImportTest, FileSizeBeyondItsChunkGivesDamageWithoutAllocatingIt) {
  const BytesT rName = chunk(0x1000, 1, stored_string("lost.avi"));
  const BytesT rBeyondFile = chunk(0x2000, 1, concat({bytes_of<uint32_t>(0x7FFFFFF0), BytesT(64, 'x')}));
  const BytesT rBeyondChunk = concat(
      {chunk(0x2000, 1, concat({bytes_of<uint32_t>(200), BytesT(64, 'x')})), chunk(0x7777, 1, BytesT(400, 'y'))});
  for (const BytesT& rFileChunks : {rBeyondFile, rBeyondChunk}) {
    DocumentFileC rDocument;
    rDocument.write_payload(concat({rName, rFileChunks}));
    OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
    AllocationWatchN::reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(CHUNK_DAMAGED, rDocument.load(pVideo.get()));
    EXPECT_EQ("fliksel: the video lost.avi cannot be played: not an AVI file\n",
              testing::internal::GetCapturedStderr());
    EXPECT_LT(AllocationWatchN::largest_request(), 4096u);
    EXPECT_STREQ("lost.avi", pVideo->get_file_name());
    EXPECT_STRNE("No Player", pVideo->get_info());
    EXPECT_EQ(0, pVideo->get_frame_count());
  }
}

// A video cut short in its document still shows the frames it kept.
TEST_F(AviImportTest, TruncatedFileBytesStillShowWhatTheVideoKept) {
  const BytesT rFile = file_bytes(media("solid.avi"));
  const BytesT rKept(rFile.begin(), rFile.begin() + static_cast<std::ptrdiff_t>(rFile.size() / 2));
  DocumentFileC rDocument;
  rDocument.write_payload(chunk(0x2000, 1, concat({bytes_of(static_cast<uint32_t>(rFile.size())), rKept})));
  OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  EXPECT_EQ(CHUNK_DAMAGED, rDocument.load(pVideo.get()));
  EXPECT_STREQ("64 x 32 x 24BPP @ 25.0 FPS", pVideo->get_info());
  EXPECT_GT(pVideo->get_frame_count(), 0);
  // Saved again, it holds what it has.
  DocumentFileC rAgain;
  EXPECT_EQ(CHUNK_OK, rAgain.save(pVideo.get()));
  const BytesT rExpected = concat({chunk(0x1000, 1, stored_string("")),
                                   chunk(0x2000, 1, concat({bytes_of(static_cast<uint32_t>(rKept.size())), rKept}))});
  EXPECT_TRUE(rExpected == rAgain.payload());
}

// A video that loads but cannot be decoded says so on standard error, once,
// with its name and the reason; it still loads, without pictures.
TEST_F(AviImportTest, UndecodableVideosNameTheFileAndWhy) {
  const BytesT rFile = file_bytes(media("solid.avi"));
  auto replaced = [&](const std::string& rFrom, const std::string& rTo) {
    std::string sBytes(rFile.begin(), rFile.end());
    for (size_t uiAt = sBytes.find(rFrom); uiAt != std::string::npos; uiAt = sBytes.find(rFrom, uiAt + 1)) {
      sBytes.replace(uiAt, rTo.size(), rTo);
    }
    return BytesT(sBytes.begin(), sBytes.end());
  };
  // The picture width, 12 bytes into the "strf" chunk, made 65536.
  BytesT rWide = rFile;
  const std::string sFile(rFile.begin(), rFile.end());
  const size_t uiFormat = sFile.find("strf");
  ASSERT_NE(std::string::npos, uiFormat);
  rWide[uiFormat + 12] = 0;
  rWide[uiFormat + 14] = 1;
  const struct {
    BytesT m_rBytes;
    const char* m_szWhy;
  } rCases[] = {
      {replaced("MJPG", "QQQQ"), "no decoder for the codec \"QQQQ\" (handler \"QQQQ\")"},
      {replaced("vids", "xxxx"), "no video stream"},
      {replaced("strf", "xxxx"), "damaged: the video stream has no format"},
      {replaced("00dc", "xxxx"), "damaged: the video stream has no frames"},
      {rWide, "damaged: a picture size of 65536 x 32"},
  };
  for (const auto& rCase : rCases) {
    DocumentFileC rDocument;
    rDocument.write_payload(stored_file("bad.avi", rCase.m_rBytes));
    OwnedT<GraphicsImportableC> pVideo = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
    testing::internal::CaptureStderr();
    EXPECT_EQ(CHUNK_END, rDocument.load(pVideo.get()));
    EXPECT_EQ(std::string("fliksel: the video bad.avi cannot be played: ") + rCase.m_szWhy + "\n",
              testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, pVideo->get_data());
  }
  DocumentFileC rGood;
  rGood.write_payload(stored_file("good.avi", rFile));
  OwnedT<GraphicsImportableC> pGood = create<GraphicsImportableC>(AVI_IMPORT_CLASS);
  testing::internal::CaptureStderr();
  EXPECT_EQ(CHUNK_END, rGood.load(pGood.get()));
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

}  // namespace
