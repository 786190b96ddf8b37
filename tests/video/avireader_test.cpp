#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/videocodec.h"
#include "plugins/video/avireaderc.h"

namespace {

using BytesT = std::vector<uint8_t>;

BytesT read_file(const std::string& sPath) {
  BytesT rBytes;
  FILE* pFile = std::fopen(sPath.c_str(), "rb");
  if (pFile != nullptr) {
    uint8_t rBlock[65536];
    for (size_t uiRead; (uiRead = std::fread(rBlock, 1, sizeof(rBlock), pFile)) > 0;) {
      rBytes.insert(rBytes.end(), rBlock, rBlock + uiRead);
    }
    std::fclose(pFile);
  }
  return rBytes;
}

uint32_t get32(const BytesT& r, size_t uiAt) {
  return r[uiAt] | (r[uiAt + 1] << 8) | (r[uiAt + 2] << 16) | (static_cast<uint32_t>(r[uiAt + 3]) << 24);
}

void set32(BytesT& r, size_t uiAt, uint32_t ui32Value) {
  for (int32_t i = 0; i < 4; ++i) {
    r[uiAt + i] = static_cast<uint8_t>(ui32Value >> (8 * i));
  }
}

size_t find_text(const BytesT& r, const char* szText) {
  const auto rAt = std::search(r.begin(), r.end(), szText, szText + std::strlen(szText));
  return static_cast<size_t>(rAt - r.begin());
}

uint64_t decoded() {
  return video_decode_counts().m_ui64Decoded;
}

uint64_t converted() {
  return video_decode_counts().m_ui64Converted;
}

// A clip and FFmpeg's decode of it, frames of width × height × 3 bytes.
struct ClipC {
  BytesT m_rFile;
  BytesT m_rReference;
  AviReaderC m_rReader;

  explicit ClipC(const std::string& sName, BytesT rFile = {})
      : m_rFile(rFile.empty() ? read_file(TIRAVO_VIDEO_MEDIA_DIR "/" + sName + ".avi") : std::move(rFile)),
        m_rReference(read_file(TIRAVO_VIDEO_MEDIA_DIR "/" + sName + ".bgr")) {
    m_rReader.parse(m_rFile.data(), static_cast<uint32_t>(m_rFile.size()));
  }
  int32_t frames() {
    const size_t uiFrame = static_cast<size_t>(m_rReader.get_width()) * m_rReader.get_height() * 3;
    return uiFrame == 0 ? 0 : static_cast<int32_t>(m_rReference.size() / uiFrame);
  }
  // Frame i requested from the reader equals FFmpeg's frame i, padding aside.
  ::testing::AssertionResult shows(int32_t i) {
    const int32_t i32Width = m_rReader.get_width();
    const int32_t i32Height = m_rReader.get_height();
    const uint8_t* pPixels = m_rReader.get_frame(i);
    if (pPixels == nullptr) {
      return ::testing::AssertionFailure() << "no picture for frame " << i;
    }
    const size_t uiRow = static_cast<size_t>(i32Width) * 3;
    const size_t uiStride = (uiRow + 3) & ~size_t(3);
    for (int32_t y = 0; y < i32Height; ++y) {
      if (std::memcmp(pPixels + y * uiStride, m_rReference.data() + (static_cast<size_t>(i) * i32Height + y) * uiRow,
                      uiRow) != 0) {
        return ::testing::AssertionFailure() << "frame " << i << " differs in row " << y;
      }
    }
    return ::testing::AssertionSuccess();
  }
};

// Hand-made AVI files of raw 24-bit frames.
struct AviSpecC {
  int32_t m_i32Width = 5;
  int32_t m_i32Height = 3;  // negative: rows stored top first
  uint32_t m_ui32Compression = 0;
  uint32_t m_ui32TotalFrames = 0;  // 0: as many as there are frames
  std::vector<BytesT> m_rFrames;
  bool m_bIdx1 = true;
  bool m_bAudioFirst = false;
  uint32_t m_ui32Rate = 25;
  uint32_t m_ui32Scale = 1;
};

class RiffWriterC {
 public:
  BytesT m_rBytes;
  void u32s(std::initializer_list<uint32_t> rValues) {
    for (uint32_t ui32Value : rValues) {
      m_rBytes.resize(m_rBytes.size() + 4);
      set32(m_rBytes, m_rBytes.size() - 4, ui32Value);
    }
  }
  void text(const char* sz4) { m_rBytes.insert(m_rBytes.end(), sz4, sz4 + 4); }
  size_t begin(const char* szId, const char* szType = nullptr) {
    const size_t uiAt = m_rBytes.size();
    text(szId);
    u32s({0});
    if (szType != nullptr) {
      text(szType);
    }
    return uiAt;
  }
  void end(size_t uiAt) {
    set32(m_rBytes, uiAt + 4, static_cast<uint32_t>(m_rBytes.size() - uiAt - 8));
    if (m_rBytes.size() % 2 != 0) {
      m_rBytes.push_back(0);
    }
  }
};

uint8_t raw_value(int32_t i32Frame, int32_t x, int32_t y, int32_t c) {
  return static_cast<uint8_t>(i32Frame * 50 + x * 7 + y * 19 + c * 3);
}

// Frame i as stored: rows padded to 4 bytes, bottom row first unless top-down.
BytesT raw_frame(int32_t i32Frame, int32_t i32Width, int32_t i32Height) {
  const int32_t i32Rows = std::abs(i32Height);
  const size_t uiStride = (static_cast<size_t>(i32Width) * 3 + 3) & ~size_t(3);
  BytesT rFrame(uiStride * i32Rows, 0);
  for (int32_t y = 0; y < i32Rows; ++y) {
    const int32_t i32Stored = i32Height > 0 ? i32Rows - 1 - y : y;
    for (int32_t x = 0; x < i32Width; ++x) {
      for (int32_t c = 0; c < 3; ++c) {
        rFrame[i32Stored * uiStride + x * 3 + c] = raw_value(i32Frame, x, y, c);
      }
    }
  }
  return rFrame;
}

AviSpecC raw_spec(int32_t i32Frames, int32_t i32Height = 3) {
  AviSpecC rSpec;
  rSpec.m_i32Height = i32Height;
  for (int32_t i = 0; i < i32Frames; ++i) {
    rSpec.m_rFrames.push_back(raw_frame(i, rSpec.m_i32Width, i32Height));
  }
  return rSpec;
}

BytesT make_avi(const AviSpecC& rSpec) {
  const uint32_t ui32Frames = static_cast<uint32_t>(rSpec.m_rFrames.size());
  RiffWriterC w;
  const size_t uiRiff = w.begin("RIFF", "AVI ");
  const size_t uiHeaders = w.begin("LIST", "hdrl");
  size_t uiAt = w.begin("avih");
  w.u32s({40000, 0, 0, 0x10, rSpec.m_ui32TotalFrames != 0 ? rSpec.m_ui32TotalFrames : ui32Frames, 0, 1, 0,
          static_cast<uint32_t>(rSpec.m_i32Width), static_cast<uint32_t>(std::abs(rSpec.m_i32Height)), 0, 0, 0, 0});
  w.end(uiAt);
  if (rSpec.m_bAudioFirst) {
    const size_t uiList = w.begin("LIST", "strl");
    uiAt = w.begin("strh");
    w.text("auds");
    w.u32s({0, 0, 0, 0, 1, 44100, 0, 0, 0, 0, 4, 0, 0});
    w.end(uiAt);
    uiAt = w.begin("strf");
    w.u32s({0x00020001, 44100, 176400, 0x00100004});
    w.end(uiAt);
    w.end(uiList);
  }
  const size_t uiList = w.begin("LIST", "strl");
  uiAt = w.begin("strh");
  w.text("vids");
  w.u32s({0, 0, 0, 0, rSpec.m_ui32Scale, rSpec.m_ui32Rate, 0, ui32Frames, 0, 0, 0, 0, 0});
  w.end(uiAt);
  uiAt = w.begin("strf");
  w.u32s({40, static_cast<uint32_t>(rSpec.m_i32Width), static_cast<uint32_t>(rSpec.m_i32Height), 1 | (24 << 16),
          rSpec.m_ui32Compression, 0, 0, 0, 0, 0});
  w.end(uiAt);
  w.end(uiList);
  w.end(uiHeaders);
  const size_t uiMovi = w.begin("LIST", "movi");
  std::vector<size_t> rOffsets;
  for (const BytesT& rFrame : rSpec.m_rFrames) {
    rOffsets.push_back(w.m_rBytes.size());
    uiAt = w.begin("00dc");
    w.m_rBytes.insert(w.m_rBytes.end(), rFrame.begin(), rFrame.end());
    w.end(uiAt);
  }
  w.end(uiMovi);
  if (rSpec.m_bIdx1) {
    uiAt = w.begin("idx1");
    for (uint32_t i = 0; i < ui32Frames; ++i) {
      w.text("00dc");
      w.u32s({0x10, static_cast<uint32_t>(rOffsets[i] - uiMovi - 8),
              static_cast<uint32_t>(rSpec.m_rFrames[i].size())});
    }
    w.end(uiAt);
  }
  w.end(uiRiff);
  return w.m_rBytes;
}

// The reader shows hand-made frame i32Frame, upright, rows padded to 4 bytes.
::testing::AssertionResult shows_raw(AviReaderC& rReader, int32_t i32Request, int32_t i32Frame) {
  const uint8_t* pPixels = rReader.get_frame(i32Request);
  if (pPixels == nullptr) {
    return ::testing::AssertionFailure() << "no picture for " << i32Request;
  }
  const int32_t i32Width = rReader.get_width();
  const size_t uiStride = (static_cast<size_t>(i32Width) * 3 + 3) & ~size_t(3);
  for (int32_t y = 0; y < rReader.get_height(); ++y) {
    for (int32_t x = 0; x < i32Width; ++x) {
      for (int32_t c = 0; c < 3; ++c) {
        if (pPixels[y * uiStride + x * 3 + c] != raw_value(i32Frame, x, y, c)) {
          return ::testing::AssertionFailure() << "request " << i32Request << " is not frame " << i32Frame;
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct ParsedC {
  BytesT m_rFile;
  AviReaderC m_rReader;
  explicit ParsedC(BytesT rFile) : m_rFile(std::move(rFile)) {
    m_rReader.parse(m_rFile.data(), static_cast<uint32_t>(m_rFile.size()));
  }
};

// ---------------------------------------------------------------------------

class CodecMatrixTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CodecMatrixTest, EveryFrameEqualsFfmpegInOrderAtRandomAndAfterBackwardJumps) {
  const std::string sAvailable = std::string(",") + TIRAVO_VIDEO_CLIPS + ",";
  if (sAvailable.find("," + GetParam() + ",") == std::string::npos) {
    GTEST_SKIP() << "the installed ffmpeg cannot make " << GetParam();
  }
  ClipC rClip(GetParam());
  ASSERT_EQ(rClip.m_rReader.get_frame_count(), 24);
  ASSERT_EQ(rClip.frames(), 24) << "sizes " << rClip.m_rReader.get_width() << " x " << rClip.m_rReader.get_height();
  for (int32_t i = 0; i < 24; ++i) {
    ASSERT_TRUE(rClip.shows(i));
  }
  // A fixed pseudo-random walk, then backward steps of every length.
  uint32_t ui32State = 12345;
  for (int32_t k = 0; k < 30; ++k) {
    ui32State = ui32State * 1103515245u + 12345u;
    ASSERT_TRUE(rClip.shows(static_cast<int32_t>((ui32State >> 16) % 24)));
  }
  for (int32_t i32Step = 1; i32Step < 24; i32Step += 4) {
    ASSERT_TRUE(rClip.shows(23));
    ASSERT_TRUE(rClip.shows(23 - i32Step));
  }
}

INSTANTIATE_TEST_SUITE_P(Codecs, CodecMatrixTest,
                         ::testing::Values("rawbgr24", "pal8", "rgb555", "bgra", "cinepak", "msvideo1", "mjpeg",
                                           "xvid", "divx", "mpeg4bframes", "msmpeg4v3", "huffyuv", "ffv1", "zmbv",
                                           "utvideo", "png", "h264", "h264bframes", "vp8", "wmv2"));

TEST(AviReaderLayout, RawRowsComeOutUprightWhicheverWayTheyAreStored) {
  // FFmpeg's raw file is top-down (negative height); the same frames
  // stored bottom-up must show the same pictures.
  ClipC rTopDown("rawbgr24");
  ASSERT_LT(static_cast<int32_t>(get32(rTopDown.m_rFile, find_text(rTopDown.m_rFile, "strf") + 16)), 0);
  EXPECT_EQ(rTopDown.m_rReader.get_height(), 50);
  AviSpecC rSpec;
  rSpec.m_i32Width = 66;
  rSpec.m_i32Height = 50;
  for (int32_t i = 0; i < 24; ++i) {
    BytesT rFrame(200 * 50, 0);
    for (int32_t y = 0; y < 50; ++y) {
      std::memcpy(&rFrame[(49 - y) * 200], &rTopDown.m_rReference[(i * 50 + y) * 198], 198);
    }
    rSpec.m_rFrames.push_back(rFrame);
  }
  ClipC rBottomUp("rawbgr24", make_avi(rSpec));
  for (int32_t i : {0, 1, 2, 23, 7}) {
    EXPECT_TRUE(rBottomUp.shows(i));
  }
  // Hand-made frames too, with rows of 5 pixels padded to 16 bytes.
  for (int32_t i32Height : {3, -3}) {
    ParsedC rFile(make_avi(raw_spec(4, i32Height)));
    EXPECT_EQ(rFile.m_rReader.get_height(), 3);
    EXPECT_EQ(rFile.m_rReader.get_bit_depth(), 24);
    EXPECT_TRUE(shows_raw(rFile.m_rReader, 2, 2));
  }
}

TEST(AviReaderIndex, FileWithoutIdx1IsScannedAndStillShowsEveryFrameRight) {
  // Cinepak without its index: no key flags, so backward jumps start over.
  BytesT rFile = read_file(TIRAVO_VIDEO_MEDIA_DIR "/cinepak.avi");
  std::memcpy(&rFile[find_text(rFile, "idx1")], "JUNK", 4);
  ClipC rClip("cinepak", rFile);
  for (int32_t i : {5, 2, 17, 16, 9}) {
    EXPECT_TRUE(rClip.shows(i));
  }
  const uint64_t ui64Jump = decoded();
  EXPECT_TRUE(rClip.shows(5));
  EXPECT_EQ(decoded() - ui64Jump, 6u);
  for (int32_t i : {0, 23, 8}) {
    EXPECT_TRUE(rClip.shows(i));
  }
  // Raw frames need no predecessor: a backward jump decodes just the one.
  AviSpecC rSpec = raw_spec(10);
  rSpec.m_bIdx1 = false;
  ParsedC rRaw(make_avi(rSpec));
  EXPECT_TRUE(shows_raw(rRaw.m_rReader, 7, 7));
  const uint64_t ui64Before = decoded();
  EXPECT_TRUE(shows_raw(rRaw.m_rReader, 3, 3));
  EXPECT_EQ(decoded() - ui64Before, 1u);
}

TEST(AviReaderIndex, AbsoluteIdx1OffsetsAreTakenAsTheyAre) {
  BytesT rFile = read_file(TIRAVO_VIDEO_MEDIA_DIR "/mpeg4bframes.avi");
  const size_t uiMoviType = find_text(rFile, "movi");
  const size_t uiIndex = find_text(rFile, "idx1");
  for (size_t uiEntry = uiIndex + 8; uiEntry + 16 <= uiIndex + 8 + get32(rFile, uiIndex + 4); uiEntry += 16) {
    set32(rFile, uiEntry + 8, get32(rFile, uiEntry + 8) + static_cast<uint32_t>(uiMoviType));
  }
  ClipC rClip("mpeg4bframes", rFile);
  for (int32_t i : {0, 1, 2, 9, 8, 7, 23, 10}) {
    EXPECT_TRUE(rClip.shows(i));
  }
}

TEST(AviReaderFrames, FrameNumbersWrapAndARepeatedFrameIsNotDecodedAgain) {
  AviSpecC rSpec = raw_spec(10);
  rSpec.m_bAudioFirst = true;  // an audio stream header first must not matter
  rSpec.m_ui32Rate = 30;
  rSpec.m_ui32Scale = 2;
  ParsedC rFile(make_avi(rSpec));
  EXPECT_FLOAT_EQ(rFile.m_rReader.get_fps(), 15.0f);
  EXPECT_EQ(rFile.m_rReader.get_frame_count(), 10);
  EXPECT_EQ(rFile.m_rReader.get_data(), nullptr);
  EXPECT_TRUE(shows_raw(rFile.m_rReader, -1, 9));
  EXPECT_TRUE(shows_raw(rFile.m_rReader, 25, 5));
  EXPECT_TRUE(shows_raw(rFile.m_rReader, -2147483647 - 1, 2));  // -2^31 = -214748365 × 10 + 2
  const VideoDecodeCountsC rBefore = video_decode_counts();
  EXPECT_TRUE(shows_raw(rFile.m_rReader, 12, 2));
  EXPECT_EQ(decoded(), rBefore.m_ui64Decoded);
  EXPECT_EQ(converted(), rBefore.m_ui64Converted);
  EXPECT_EQ(rFile.m_rReader.get_data(), rFile.m_rReader.get_frame(2));
}

TEST(AviReaderFrames, BackwardJumpsPrerollFromTheNearestKeyFrame) {
  // Cinepak with a key frame every 8 frames: 0, 8, 16.
  ClipC rClip("cinepak");
  for (int32_t i = 0; i <= 7; ++i) {
    ASSERT_TRUE(rClip.shows(i));
  }
  VideoDecodeCountsC rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(3));  // 0, 1, 2 pre-rolled, then 3
  EXPECT_EQ(decoded() - rBefore.m_ui64Decoded, 4u);
  EXPECT_EQ(converted() - rBefore.m_ui64Converted, 1u);
  EXPECT_TRUE(rClip.shows(12));
  rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(10));  // 8, 9, then 10
  EXPECT_EQ(decoded() - rBefore.m_ui64Decoded, 3u);
  rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(16));  // a key frame asked for is decoded alone
  EXPECT_EQ(decoded() - rBefore.m_ui64Decoded, 1u);
}

TEST(AviReaderDamage, EntriesOutsideTheFileAndEmptyFramesAreNeverDecoded) {
  // Frame 1 points past the end, frame 3's size wraps a 32-bit end offset
  // around to 10, frame 4 is empty ("same picture as before"): each keeps
  // the picture before it.
  AviSpecC rSpec = raw_spec(6);
  rSpec.m_rFrames[4].clear();
  BytesT rBytes = make_avi(rSpec);
  const uint32_t ui32Base = static_cast<uint32_t>(find_text(rBytes, "movi"));
  const size_t uiIndex = find_text(rBytes, "idx1") + 8;
  set32(rBytes, uiIndex + 16 * 1 + 8, 0x7FFFFFF0);
  set32(rBytes, uiIndex + 16 * 3 + 12, 10 - 8 - (ui32Base + get32(rBytes, uiIndex + 16 * 3 + 8)));
  ParsedC rFile(std::move(rBytes));
  const uint64_t ui64Before = decoded();
  for (const auto& rPair : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 2}, {3, 2}, {4, 2}, {5, 5}}) {
    EXPECT_TRUE(shows_raw(rFile.m_rReader, rPair.first, rPair.second));
  }
  EXPECT_EQ(decoded() - ui64Before, 3u);
}

TEST(AviReaderDamage, WalksWithSizesThatWouldWrapEnd) {
  // A top-level chunk whose size brings a 32-bit offset back to itself:
  // the walk ends there, before the frames.
  BytesT rTopLevel = make_avi(raw_spec(3));
  set32(rTopLevel, find_text(rTopLevel, "LIST") + 4, 0xFFFFFFF8);
  ParsedC rTop(rTopLevel);
  EXPECT_EQ(rTop.m_rReader.get_frame(0), nullptr);
  // A stream format of the largest size ends its list; the rest is read.
  BytesT rHeader = make_avi(raw_spec(3));
  set32(rHeader, find_text(rHeader, "strf") + 4, 0xFFFFFFFF);
  ParsedC rSub(rHeader);
  EXPECT_TRUE(shows_raw(rSub.m_rReader, 2, 2));
  // Without idx1, a frame chunk whose odd size rounds up to wrap.
  AviSpecC rSpec = raw_spec(4);
  rSpec.m_bIdx1 = false;
  BytesT rScan = make_avi(rSpec);
  const size_t uiThird = find_text(rScan, "00dc") + 2 * (8 + rSpec.m_rFrames[0].size());
  set32(rScan, uiThird + 4, 0xFFFFFFF7);
  ParsedC rMovi(rScan);
  EXPECT_TRUE(shows_raw(rMovi.m_rReader, 1, 1));
  EXPECT_TRUE(shows_raw(rMovi.m_rReader, 0, 0));
  EXPECT_TRUE(shows_raw(rMovi.m_rReader, 3, 1));  // two frames indexed: the last of them
}

TEST(AviReaderDamage, HeaderFrameCountsBeyondTheEntriesShowTheLastIndexedFrame) {
  AviSpecC rSpec = raw_spec(3);
  rSpec.m_ui32TotalFrames = 0xFFFFFFFF;  // must not size the index
  ParsedC rHuge(make_avi(rSpec));
  EXPECT_EQ(rHuge.m_rReader.get_frame_count(), 2147483647);
  EXPECT_TRUE(shows_raw(rHuge.m_rReader, 1000000, 2));
  EXPECT_TRUE(shows_raw(rHuge.m_rReader, 1, 1));
  rSpec.m_ui32TotalFrames = 10;
  ParsedC rTen(make_avi(rSpec));
  EXPECT_TRUE(shows_raw(rTen.m_rReader, 7, 2));
  EXPECT_TRUE(shows_raw(rTen.m_rReader, 11, 1));
  // Cut in the middle of the frames: idx1 is lost, the frames there decode.
  BytesT rFile = read_file(TIRAVO_VIDEO_MEDIA_DIR "/mjpeg.avi");
  rFile.resize(rFile.size() * 6 / 10);
  ClipC rCut("mjpeg", rFile);
  EXPECT_TRUE(rCut.shows(0));
  EXPECT_TRUE(rCut.shows(5));
  EXPECT_NE(rCut.m_rReader.get_frame(23), nullptr);
}

TEST(AviReaderDamage, NoDecoderMeansNoPictures) {
  const BytesT rNotRiff(64, 'x');
  ParsedC rText(rNotRiff);
  EXPECT_EQ(rText.m_rReader.get_frame(0), nullptr);
  EXPECT_EQ(rText.m_rReader.get_width(), 0);
  EXPECT_EQ(rText.m_rReader.get_fps(), 0.0f);
  AviSpecC rSpec = raw_spec(2);
  rSpec.m_ui32Compression = 0x5A5A5A5A;  // "ZZZZ": no such codec
  ParsedC rUnknown(make_avi(rSpec));
  EXPECT_EQ(rUnknown.m_rReader.get_frame(0), nullptr);
  EXPECT_EQ(rUnknown.m_rReader.get_width(), 5);  // a decoder was looked for
}

}  // namespace
