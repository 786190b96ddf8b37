#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/videocodec.h"
#include "plugins/video/avireaderc.h"
#include "tests/video/readertest.h"

namespace {

// A clip made by the ffmpeg command, compared with FFmpeg's decode of it.
VideoC clip(const std::string& sName, BytesT rFile = {}) {
  return VideoC(rFile.empty() ? read_file(sName + ".avi") : std::move(rFile), read_file(sName + ".bgr"));
}

// Hand-made files of raw 24-bit frames whose bytes tell frame, place and colour.
uint8_t raw_value(int32_t i32Frame, int32_t x, int32_t y, int32_t c) {
  return static_cast<uint8_t>(i32Frame * 50 + x * 7 + y * 19 + c * 3);
}

struct AviPlanC {
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

AviPlanC raw_plan(int32_t i32Frames, int32_t i32Height = 3) {
  AviPlanC rPlan;
  rPlan.m_i32Height = i32Height;
  const int32_t i32Rows = std::abs(i32Height);
  const size_t uiStride = (rPlan.m_i32Width * 3 + 3) & ~3;
  for (int32_t i = 0; i < i32Frames; ++i) {
    BytesT rFrame(uiStride * i32Rows, 0);
    for (int32_t y = 0; y < i32Rows; ++y) {
      const int32_t i32Stored = i32Height > 0 ? i32Rows - 1 - y : y;
      for (int32_t x = 0; x < rPlan.m_i32Width * 3; ++x) {
        rFrame[i32Stored * uiStride + x] = raw_value(i, x / 3, y, x % 3);
      }
    }
    rPlan.m_rFrames.push_back(rFrame);
  }
  return rPlan;
}

BytesT make_avi(const AviPlanC& rPlan) {
  const uint32_t ui32Frames = static_cast<uint32_t>(rPlan.m_rFrames.size());
  BytesT r;
  auto u32s = [&r](std::initializer_list<uint32_t> rValues) {
    for (uint32_t ui32Value : rValues) {
      r.resize(r.size() + 4);
      set32(r, r.size() - 4, ui32Value);
    }
  };
  auto text = [&r](const char* sz4) { r.insert(r.end(), sz4, sz4 + 4); };
  auto begin = [&](const char* szId, const char* szType) {
    const size_t uiAt = r.size();
    text(szId);
    u32s({0});
    if (szType != nullptr) {
      text(szType);
    }
    return uiAt;
  };
  auto end = [&r](size_t uiAt) {
    set32(r, uiAt + 4, static_cast<uint32_t>(r.size() - uiAt - 8));
    r.resize(r.size() + r.size() % 2);
  };
  const size_t uiRiff = begin("RIFF", "AVI ");
  const size_t uiHeaders = begin("LIST", "hdrl");
  size_t uiAt = begin("avih", nullptr);
  u32s({40000, 0, 0, 0x10, rPlan.m_ui32TotalFrames != 0 ? rPlan.m_ui32TotalFrames : ui32Frames, 0, 1, 0,
        static_cast<uint32_t>(rPlan.m_i32Width), static_cast<uint32_t>(std::abs(rPlan.m_i32Height)), 0, 0, 0, 0});
  end(uiAt);
  if (rPlan.m_bAudioFirst) {
    const size_t uiList = begin("LIST", "strl");
    uiAt = begin("strh", "auds");
    u32s({0, 0, 0, 0, 1, 44100, 0, 0, 0, 0, 4, 0, 0});
    end(uiAt);
    uiAt = begin("strf", nullptr);
    u32s({0x00020001, 44100, 176400, 0x00100004});
    end(uiAt);
    end(uiList);
  }
  const size_t uiList = begin("LIST", "strl");
  uiAt = begin("strh", "vids");
  u32s({0, 0, 0, 0, rPlan.m_ui32Scale, rPlan.m_ui32Rate, 0, ui32Frames, 0, 0, 0, 0, 0});
  end(uiAt);
  uiAt = begin("strf", nullptr);
  u32s({40, static_cast<uint32_t>(rPlan.m_i32Width), static_cast<uint32_t>(rPlan.m_i32Height), 1 | (24 << 16),
        rPlan.m_ui32Compression, 0, 0, 0, 0, 0});
  end(uiAt);
  end(uiList);
  end(uiHeaders);
  const size_t uiMovi = begin("LIST", "movi");
  std::vector<size_t> rOffsets;
  const char* szFrameId = rPlan.m_bAudioFirst ? "01dc" : "00dc";
  for (const BytesT& rFrame : rPlan.m_rFrames) {
    rOffsets.push_back(begin(szFrameId, nullptr));
    r.insert(r.end(), rFrame.begin(), rFrame.end());
    end(rOffsets.back());
  }
  end(uiMovi);
  if (rPlan.m_bIdx1) {
    uiAt = begin("idx1", nullptr);
    for (uint32_t i = 0; i < ui32Frames; ++i) {
      text(szFrameId);
      u32s({0x10, static_cast<uint32_t>(rOffsets[i] - uiMovi - 8), static_cast<uint32_t>(rPlan.m_rFrames[i].size())});
    }
    end(uiAt);
  }
  end(uiRiff);
  return r;
}

// A hand-made file and the upright pictures of its frames.
VideoC raw_video(const AviPlanC& rPlan, BytesT rFile = {}) {
  BytesT rPictures;
  for (int32_t i = 0; i < static_cast<int32_t>(rPlan.m_rFrames.size()); ++i) {
    for (int32_t y = 0; y < std::abs(rPlan.m_i32Height); ++y) {
      for (int32_t x = 0; x < rPlan.m_i32Width * 3; ++x) {
        rPictures.push_back(raw_value(i, x / 3, y, x % 3));
      }
    }
  }
  return VideoC(rFile.empty() ? make_avi(rPlan) : std::move(rFile), rPictures);
}

// ---------------------------------------------------------------------------

class CodecMatrixTest : public ::testing::TestWithParam<std::string> {};

TEST_P(CodecMatrixTest, EveryFrameEqualsFfmpegInOrderAtRandomAndAfterBackwardJumps) {
  if ((std::string(",") + TIRAVO_VIDEO_CLIPS + ",").find("," + GetParam() + ",") == std::string::npos) {
    GTEST_SKIP() << "the installed ffmpeg cannot make " << GetParam();
  }
  VideoC rClip = clip(GetParam());
  ASSERT_EQ(rClip.m_rReader.get_frame_count(), 24);
  EXPECT_TRUE(rClip.plays_exactly());
}

INSTANTIATE_TEST_SUITE_P(Codecs, CodecMatrixTest,
                         ::testing::Values("rawbgr24", "pal8", "rgb555", "bgra", "cinepak", "msvideo1", "mjpeg",
                                           "xvid", "divx", "mpeg4bframes", "msmpeg4v3", "huffyuv", "ffv1", "zmbv",
                                           "utvideo", "png", "h264", "h264bframes", "vp8", "wmv2",
                                           // written by other programs than the ffmpeg command
                                           "gstreamer", "mencoder"));

TEST(AviReaderLayout, RawRowsComeOutUprightWhicheverWayTheyAreStored) {
  // FFmpeg's raw file is top-down (negative height); the same frames stored
  // bottom-up, rows padded from 198 to 200 bytes, show the same pictures.
  VideoC rTopDown = clip("rawbgr24");
  ASSERT_LT(static_cast<int32_t>(get32(rTopDown.m_rFile, find_text(rTopDown.m_rFile, "strf") + 16)), 0);
  EXPECT_EQ(rTopDown.m_rReader.get_height(), 50);
  AviPlanC rPlan;
  rPlan.m_i32Width = 66;
  rPlan.m_i32Height = 50;
  for (int32_t i = 0; i < 24; ++i) {
    rPlan.m_rFrames.emplace_back(200 * 50, 0);
    for (int32_t y = 0; y < 50; ++y) {
      std::memcpy(&rPlan.m_rFrames.back()[(49 - y) * 200], &rTopDown.m_rExpected[(i * 50 + y) * 198], 198);
    }
  }
  VideoC rBottomUp = clip("rawbgr24", make_avi(rPlan));
  for (int32_t i : {0, 1, 23, 7}) {
    EXPECT_TRUE(rBottomUp.shows(i));
  }
  for (int32_t i32Height : {3, -3}) {
    VideoC rRaw = raw_video(raw_plan(4, i32Height));
    EXPECT_EQ(rRaw.m_rReader.get_height(), 3);
    EXPECT_EQ(rRaw.m_rReader.get_bit_depth(), 24);
    EXPECT_TRUE(rRaw.shows(2));
  }
}

TEST(AviReaderIndex, FileWithoutIdx1IsScannedAndStillShowsEveryFrameRight) {
  // Cinepak without its index has no key flags: backward jumps start over.
  BytesT rFile = read_file("cinepak.avi");
  std::memcpy(&rFile[find_text(rFile, "idx1")], "JUNK", 4);
  VideoC rClip = clip("cinepak", rFile);
  for (int32_t i : {2, 17, 16, 9}) {
    EXPECT_TRUE(rClip.shows(i));
  }
  const uint64_t ui64Before = decoded();
  EXPECT_TRUE(rClip.shows(5));
  EXPECT_EQ(decoded() - ui64Before, 6u);
  // Raw frames need no predecessor: a backward jump decodes just the one.
  AviPlanC rPlan = raw_plan(10);
  rPlan.m_bIdx1 = false;
  VideoC rRaw = raw_video(rPlan);
  EXPECT_TRUE(rRaw.shows(7));
  const uint64_t ui64Raw = decoded();
  EXPECT_TRUE(rRaw.shows(3));
  EXPECT_EQ(decoded() - ui64Raw, 1u);
}

TEST(AviReaderIndex, AbsoluteIdx1OffsetsAreTakenAsTheyAre) {
  BytesT rFile = read_file("mpeg4bframes.avi");
  const size_t uiBase = find_text(rFile, "movi");  // what relative offsets count from
  const size_t uiIndex = find_text(rFile, "idx1");
  for (size_t uiEntry = uiIndex + 8; uiEntry < uiIndex + 8 + get32(rFile, uiIndex + 4); uiEntry += 16) {
    set32(rFile, uiEntry + 8, get32(rFile, uiEntry + 8) + static_cast<uint32_t>(uiBase));
  }
  VideoC rClip = clip("mpeg4bframes", rFile);
  for (int32_t i : {0, 1, 9, 8, 7, 23, 10}) {
    EXPECT_TRUE(rClip.shows(i));
  }
}

TEST(AviReaderFrames, FrameNumbersWrapAndARepeatedFrameIsNotDecodedAgain) {
  AviPlanC rPlan = raw_plan(10);
  rPlan.m_bAudioFirst = true;  // an audio stream header first must not matter
  rPlan.m_ui32Rate = 30;
  rPlan.m_ui32Scale = 2;
  VideoC rVideo = raw_video(rPlan);
  EXPECT_FLOAT_EQ(rVideo.m_rReader.get_fps(), 15.0f);
  EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 10);
  EXPECT_EQ(rVideo.m_rReader.get_data(), nullptr);
  EXPECT_TRUE(rVideo.shows(-1, 9));
  EXPECT_TRUE(rVideo.shows(25, 5));
  EXPECT_TRUE(rVideo.shows(-2147483647 - 1, 2));  // -2^31 = -214748365 × 10 + 2
  const VideoDecodeCountsC rBefore = video_decode_counts();
  EXPECT_TRUE(rVideo.shows(12, 2));
  EXPECT_EQ(video_decode_counts().m_ui64Decoded, rBefore.m_ui64Decoded);
  EXPECT_EQ(video_decode_counts().m_ui64Converted, rBefore.m_ui64Converted);
  EXPECT_EQ(rVideo.m_rReader.get_data(), rVideo.m_rReader.get_frame(2));
}

TEST(AviReaderFrames, BackwardJumpsPrerollFromTheNearestKeyFrame) {
  VideoC rClip = clip("cinepak");  // key frames 0, 8 and 16
  for (int32_t i = 0; i <= 7; ++i) {
    ASSERT_TRUE(rClip.shows(i));
  }
  VideoDecodeCountsC rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(3));  // 0, 1, 2 pre-rolled, then 3
  EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 4u);
  EXPECT_EQ(video_decode_counts().m_ui64Converted - rBefore.m_ui64Converted, 1u);
  EXPECT_TRUE(rClip.shows(12));
  rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(10));  // 8, 9, then 10
  EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 3u);
  rBefore = video_decode_counts();
  EXPECT_TRUE(rClip.shows(16));  // a key frame asked for is decoded alone
  EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 1u);
}

// Forward jumps start at the last key frame before the target when it lies
// ahead; without one ahead, decoding plays on.
TEST(AviReaderFrames, ForwardJumpsSkipToTheKeyFrameBeforeTheTarget) {
  for (const char* szClip : {"xvid", "cinepak", "h264"}) {  // key frames 0, 8 and 16
    VideoC rClip = clip(szClip);
    ASSERT_TRUE(rClip.shows(2)) << szClip;
    VideoDecodeCountsC rBefore = video_decode_counts();
    EXPECT_TRUE(rClip.shows(20)) << szClip;  // 16 to 20
    EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 5u) << szClip;
    rBefore = video_decode_counts();
    EXPECT_TRUE(rClip.shows(23)) << szClip;  // 21 to 23, no key frame between
    EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 3u) << szClip;
    ASSERT_TRUE(rClip.shows(1)) << szClip;
    rBefore = video_decode_counts();
    EXPECT_TRUE(rClip.shows(6)) << szClip;  // 2 to 6: key frame 0 lies behind
    EXPECT_EQ(video_decode_counts().m_ui64Decoded - rBefore.m_ui64Decoded, 5u) << szClip;
    EXPECT_TRUE(rClip.plays_exactly()) << szClip;
  }
}

TEST(AviReaderDamage, EntriesOutsideTheFileAndEmptyFramesAreNeverDecoded) {
  // Frame 1 points past the end, frame 3 into the middle of frame 2's
  // header (no chunk id there at either base), frame 4 is empty ("same
  // picture as before"): each keeps the picture before it.
  AviPlanC rPlan = raw_plan(6);
  rPlan.m_rFrames[4].clear();
  BytesT rFile = make_avi(rPlan);
  const size_t uiIndex = find_text(rFile, "idx1") + 8;
  set32(rFile, uiIndex + 16 * 1 + 8, 0x7FFFFFF0);
  set32(rFile, uiIndex + 16 * 3 + 8, get32(rFile, uiIndex + 16 * 2 + 8) + 4);
  VideoC rVideo = raw_video(rPlan, rFile);
  const uint64_t ui64Before = decoded();
  for (const auto& rPair : std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {1, 0}, {2, 2}, {3, 2}, {4, 2}, {5, 5}}) {
    EXPECT_TRUE(rVideo.shows(rPair.first, rPair.second));
  }
  EXPECT_EQ(decoded() - ui64Before, 3u);
}

TEST(AviReaderDamage, WalksWithSizesThatWouldWrapEnd) {
  // A top-level chunk whose size brings a 32-bit offset back to itself: the
  // walk ends there, before the frames.
  BytesT rTop = make_avi(raw_plan(3));
  set32(rTop, find_text(rTop, "LIST") + 4, 0xFFFFFFF8);
  EXPECT_EQ(raw_video(raw_plan(3), rTop).m_rReader.get_frame(0), nullptr);
  // A stream format of the largest size ends its list; the rest is read.
  BytesT rFormat = make_avi(raw_plan(3));
  set32(rFormat, find_text(rFormat, "strf") + 4, 0xFFFFFFFF);
  EXPECT_TRUE(raw_video(raw_plan(3), rFormat).shows(2));
  // Without idx1, a frame chunk whose odd size rounds up to wrap.
  AviPlanC rPlan = raw_plan(4);
  rPlan.m_bIdx1 = false;
  BytesT rScan = make_avi(rPlan);
  set32(rScan, find_text(rScan, "00dc") + 2 * (8 + rPlan.m_rFrames[0].size()) + 4, 0xFFFFFFF7);
  VideoC rVideo = raw_video(rPlan, rScan);
  EXPECT_TRUE(rVideo.shows(1));
  EXPECT_TRUE(rVideo.shows(0));
  EXPECT_TRUE(rVideo.shows(3, 1));  // two frames indexed: the last of them
}

TEST(AviReaderDamage, FrameCountIsWhatTheFileHoldsWhateverTheHeaderClaims) {
  // Frame numbers wrap over the frames there are: a truncated video loops.
  AviPlanC rPlan = raw_plan(3);
  for (uint32_t ui32Claimed : {0xFFFFFFFFu, 10u, 0u, 1u}) {
    rPlan.m_ui32TotalFrames = ui32Claimed;
    VideoC rVideo = raw_video(rPlan);
    EXPECT_EQ(rVideo.m_rReader.get_frame_count(), 3);
    EXPECT_TRUE(rVideo.shows(1000000, 1));
    EXPECT_TRUE(rVideo.shows(2));
  }
  // Cut in the middle of the frames: idx1 is lost, the whole frames left
  // are found by the scan and decode; the cut one is not a frame.
  BytesT rFile = read_file("mjpeg.avi");
  rFile.resize(rFile.size() * 6 / 10);
  VideoC rCut = clip("mjpeg", rFile);
  const int32_t i32Count = rCut.m_rReader.get_frame_count();
  EXPECT_GT(i32Count, 8);
  EXPECT_LT(i32Count, 16);
  for (int32_t i : {0, 5, i32Count - 1}) {
    EXPECT_TRUE(rCut.shows(i));
  }
  EXPECT_TRUE(rCut.shows(i32Count, 0));
}

TEST(AviReaderDamage, NoDecoderMeansNoPictures) {
  VideoC rText(BytesT(64, 'x'), {});
  EXPECT_EQ(rText.m_rReader.get_frame(0), nullptr);
  EXPECT_EQ(rText.m_rReader.get_width(), 0);
  EXPECT_EQ(rText.m_rReader.get_fps(), 0.0f);
  AviPlanC rPlan = raw_plan(2);
  rPlan.m_ui32Compression = 0x5A5A5A5A;  // "ZZZZ": no such codec
  VideoC rUnknown = raw_video(rPlan);
  EXPECT_EQ(rUnknown.m_rReader.get_frame(0), nullptr);
  EXPECT_EQ(rUnknown.m_rReader.get_width(), 5);  // a decoder was looked for
}

}  // namespace
