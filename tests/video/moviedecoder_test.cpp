#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/codecsettings.h"
#include "platform/moviedecoderc.h"
#include "platform/pictureconverterc.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace {

using BytesT = std::vector<uint8_t>;

std::string matrix_path(const std::string& sName) {
  return TIRAVO_MOVIE_MATRIX_DIR "/" + sName;
}

bool exists(const std::string& sPath) {
  return std::ifstream(sPath).good();
}

// The matrix is made once per test run, before the first test that needs it
// (ctest runs the maker as a fixture; a test binary run by hand makes it here).
class MovieMatrixEnvironmentC : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!exists(matrix_path("complete"))) {
      const std::string sCommand = "sh " TIRAVO_MOVIE_MATRIX_SCRIPT " " TIRAVO_MOVIE_MATRIX_DIR;
      ASSERT_EQ(std::system(sCommand.c_str()), 0) << sCommand;
    }
  }
};
const ::testing::Environment* const g_pMatrix = ::testing::AddGlobalTestEnvironment(new MovieMatrixEnvironmentC);

BytesT read_file(const std::string& sPath) {
  std::ifstream rFile(sPath, std::ios::binary);
  return BytesT(std::istreambuf_iterator<char>(rFile), std::istreambuf_iterator<char>());
}

struct ClipS {
  const char* m_szName;
  const char* m_szExtension;
  bool m_bAlpha;
  int32_t m_i32Width = 64;
  int32_t m_i32Height = 64;
};

std::ostream& operator<<(std::ostream& rOut, const ClipS& rClip) {
  return rOut << rClip.m_szName;
}

// The ffmpeg command's view of a clip: its decode, its pictures' timestamps
// and durations, and its frame rates.
struct ReferenceC {
  BytesT m_rPictures;
  int64_t m_i64FpsNum = 0;
  int64_t m_i64FpsDen = 1;
  int64_t m_i64TimeBaseNum = 1;
  int64_t m_i64TimeBaseDen = 1;
  std::vector<int64_t> m_rTimes;
  int64_t m_i64LastDuration = 0;

  explicit ReferenceC(const std::string& sName) : m_rPictures(read_file(matrix_path(sName + ".raw"))) {
    std::ifstream rTimes(matrix_path(sName + ".times"));
    char cSlash = 0;
    int64_t i64AverageNum = 0;
    int64_t i64AverageDen = 1;
    rTimes >> m_i64FpsNum >> cSlash >> m_i64FpsDen >> i64AverageNum >> cSlash >> i64AverageDen >> m_i64TimeBaseNum >>
        cSlash >> m_i64TimeBaseDen;
    // The rate players take: the stream's real base rate, unless that is
    // a time base's and the average a film's.
    const double f64Real = static_cast<double>(m_i64FpsNum) / static_cast<double>(m_i64FpsDen);
    const double f64Average = static_cast<double>(i64AverageNum) / static_cast<double>(std::max<int64_t>(i64AverageDen, 1));
    if (i64AverageNum > 0 && f64Average < 70 && f64Real > 210) {
      m_i64FpsNum = i64AverageNum;
      m_i64FpsDen = i64AverageDen;
    }
    for (int64_t i64Time = 0, i64Duration = 0; rTimes >> i64Time >> i64Duration;) {
      m_rTimes.push_back(i64Time);
      m_i64LastDuration = i64Duration;
    }
  }
  // The frames over the pictures' span, from the first to the end of the
  // last, taken a tick short (at most half a frame) for rounded timestamps.
  int32_t frame_count() const {
    const double f64Frames = static_cast<double>(m_rTimes.back() + m_i64LastDuration - m_rTimes.front()) *
                             static_cast<double>(m_i64TimeBaseNum * m_i64FpsNum) /
                             static_cast<double>(m_i64TimeBaseDen * m_i64FpsDen);
    const double f64Tick = static_cast<double>(m_i64TimeBaseNum * m_i64FpsNum) /
                           static_cast<double>(m_i64TimeBaseDen * m_i64FpsDen);
    return static_cast<int32_t>(std::ceil(f64Frames - std::min(f64Tick, 0.5)));
  }
  // The picture shown at frame / fps: the last one that starts by then,
  // a timestamp rounded up by a tick counting as on time.
  size_t picture_for_frame(int32_t i32Frame) const {
    size_t uiPicture = 0;
    while (uiPicture + 1 < m_rTimes.size() &&
           (m_rTimes[uiPicture + 1] - m_rTimes[0] - 1) * m_i64TimeBaseNum * m_i64FpsNum <
               int64_t{i32Frame} * m_i64FpsDen * m_i64TimeBaseDen) {
      ++uiPicture;
    }
    return uiPicture;
  }
};

struct PictureDeleterS {
  void operator()(uint8_t* p) const { free_picture(p); }
};

class MovieMatrixTest : public ::testing::TestWithParam<ClipS> {
 protected:
  void SetUp() override {
    const ClipS& rClip = GetParam();
    m_sName = rClip.m_szName;
    if (!exists(matrix_path(m_sName + "." + rClip.m_szExtension))) {
      GTEST_SKIP() << "the installed ffmpeg cannot make " << m_sName;
    }
    m_rFile = read_file(matrix_path(m_sName + "." + rClip.m_szExtension));
    m_pReference = std::make_unique<ReferenceC>(m_sName);
    m_pDecoder.reset(MovieDecoderC::open(m_rFile.data(), static_cast<uint32_t>(m_rFile.size())));
    ASSERT_NE(m_pDecoder, nullptr);
    m_bAlpha = rClip.m_bAlpha;
    m_i32Width = rClip.m_i32Width;
    m_i32Height = rClip.m_i32Height;
    m_pPicture.reset(allocate_picture(m_pDecoder->get_width(), m_pDecoder->get_height(), PICTURE_RGBA32));
  }

  size_t row_bytes() const { return static_cast<size_t>(m_pDecoder->get_width()) * 4; }

  ::testing::AssertionResult shows(int32_t i32Frame) {
    if (!m_pDecoder->decode_frame(i32Frame, m_pPicture.get())) {
      return ::testing::AssertionFailure() << "no picture for frame " << i32Frame;
    }
    const size_t uiPicture = m_pReference->picture_for_frame(i32Frame);
    const size_t uiRow = row_bytes();
    const size_t uiStride = static_cast<size_t>(picture_stride(m_pDecoder->get_width(), PICTURE_RGBA32));
    const uint8_t* pExpected = m_pReference->m_rPictures.data() + uiPicture * uiRow * m_pDecoder->get_height();
    for (int32_t y = 0; y < m_pDecoder->get_height(); ++y) {
      if (std::memcmp(m_pPicture.get() + y * uiStride, pExpected + y * uiRow, uiRow) != 0) {
        return ::testing::AssertionFailure() << "frame " << i32Frame << " (picture " << uiPicture << ") differs in row "
                                             << y;
      }
    }
    return ::testing::AssertionSuccess();
  }

  std::string m_sName;
  BytesT m_rFile;
  std::unique_ptr<ReferenceC> m_pReference;
  std::unique_ptr<MovieDecoderC> m_pDecoder;
  bool m_bAlpha = false;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  std::unique_ptr<uint8_t, PictureDeleterS> m_pPicture;
};

TEST_P(MovieMatrixTest, EveryFrameEqualsFfmpegInOrderAtRandomAndAfterBackwardJumps) {
  ASSERT_EQ(m_pDecoder->get_width(), m_i32Width);
  ASSERT_EQ(m_pDecoder->get_height(), m_i32Height);
  EXPECT_EQ(m_pDecoder->has_alpha(), m_bAlpha);
  const int32_t i32Count = m_pReference->frame_count();
  ASSERT_EQ(m_pDecoder->get_frame_count(), i32Count);
  ASSERT_EQ(m_pReference->m_rPictures.size(), 24 * row_bytes() * m_i32Height) << "wrong sizes";
  for (int32_t i = 0; i < i32Count; ++i) {
    ASSERT_TRUE(shows(i));
  }
  uint32_t ui32State = 12345;  // a fixed pseudo-random walk
  for (int32_t k = 0; k < 30; ++k) {
    ui32State = ui32State * 1103515245u + 12345u;
    ASSERT_TRUE(shows(static_cast<int32_t>((ui32State >> 16) % static_cast<uint32_t>(i32Count))));
  }
  for (int32_t i32Step = 1; i32Step < i32Count; i32Step += 3) {
    ASSERT_TRUE(shows(i32Count - 1));
    ASSERT_TRUE(shows(i32Count - 1 - i32Step));
  }
}

// Frames follow the timeline: the last frame shows the last picture, and
// pictures that stay on screen longer fill more frames.
TEST_P(MovieMatrixTest, FramesCoverTheSpanOfThePictures) {
  const int32_t i32Count = m_pDecoder->get_frame_count();
  EXPECT_EQ(m_pReference->picture_for_frame(i32Count - 1), m_pReference->m_rTimes.size() - 1);
  EXPECT_GE(i32Count, 24);
  EXPECT_FALSE(m_pDecoder->decode_frame(i32Count, m_pPicture.get()));
}

TEST_P(MovieMatrixTest, NextFrameDecodesOnePacketAndTheSameFrameNone) {
  ASSERT_TRUE(shows(10));
  const uint64_t ui64Seeks = m_pDecoder->get_seeks();
  uint64_t ui64Packets = m_pDecoder->get_packets_decoded();
  ASSERT_TRUE(shows(10));
  EXPECT_EQ(m_pDecoder->get_packets_decoded(), ui64Packets);
  // Decoders that reorder pictures take their packets ahead, never more
  // than one a picture on the whole.
  ui64Packets = m_pDecoder->get_packets_decoded();
  for (int32_t i = 11; i < 20; ++i) {
    ASSERT_TRUE(shows(i));
  }
  EXPECT_LE(m_pDecoder->get_packets_decoded() - ui64Packets, 9u);
  EXPECT_EQ(m_pDecoder->get_seeks(), ui64Seeks);
  ASSERT_TRUE(shows(2));
  EXPECT_EQ(m_pDecoder->get_seeks(), ui64Seeks + 1);
}

TEST_P(MovieMatrixTest, FrameRateIsThePlayersGuess) {
  EXPECT_DOUBLE_EQ(m_pDecoder->get_fps(),
                   static_cast<double>(m_pReference->m_i64FpsNum) / static_cast<double>(m_pReference->m_i64FpsDen));
}

INSTANTIATE_TEST_SUITE_P(
    Containers, MovieMatrixTest,
    ::testing::Values(ClipS{"mp4_h264", "mp4", false}, ClipS{"mp4_h264_bframes", "mp4", false},
                      ClipS{"mp4_hevc", "mp4", false}, ClipS{"mov_prores4444", "mov", true},
                      ClipS{"mov_png", "mov", true}, ClipS{"mov_qtrle", "mov", true}, ClipS{"mkv_vp9", "mkv", false},
                      ClipS{"mkv_ffv1", "mkv", false}, ClipS{"webm_vp8", "webm", false},
                      ClipS{"webm_vp9", "webm", false}, ClipS{"webm_vp9_alpha", "webm", true},
                      ClipS{"mkv_av1", "mkv", false}, ClipS{"ogv_theora", "ogv", false},
                      ClipS{"mp4_vfr", "mp4", false}, ClipS{"mp4_short_last", "mp4", false},
                      ClipS{"mp4_mpeg4", "mp4", false},
                      ClipS{"3gp_h263", "3gp", false, 128, 96}, ClipS{"3g2_mpeg4", "3g2", false},
                      ClipS{"mp4_landscape", "mp4", false, 64, 48}, ClipS{"mp4_rot90", "mp4", false, 48, 64},
                      ClipS{"mp4_rot180", "mp4", false, 64, 48}, ClipS{"mov_rot270", "mov", false, 48, 64},
                      ClipS{"mkv_sar_wide", "mkv", false}, ClipS{"mkv_sar_narrow", "mkv", false},
                      ClipS{"mkv_sar_extreme", "mkv", false},
                      ClipS{"mkv_dropped", "mkv", false}, ClipS{"mkv_hd_untagged", "mkv", false, 1280, 16},
                      ClipS{"mkv_hdr_pq", "mkv", false}, ClipS{"mp4_hdr_hlg", "mp4", false},
                      ClipS{"mkv_interlaced", "mkv", false}),
    [](const ::testing::TestParamInfo<ClipS>& rInfo) { return std::string(rInfo.param.m_szName); });

// Tone mapping takes 12 bytes a pixel: a larger HDR movie plays as decoded,
// and says so once.
TEST(MovieDecoderColours, HdrPicturesAbove4KAreShownWithoutToneMappingAndSaySo) {
  const BytesT rFile = read_file(matrix_path("hdr_large.mkv"));
  if (rFile.empty()) {
    GTEST_SKIP() << "the installed ffmpeg cannot make HEVC";
  }
  ::testing::internal::CaptureStderr();
  std::unique_ptr<MovieDecoderC> pDecoder(MovieDecoderC::open(rFile.data(), static_cast<uint32_t>(rFile.size())));
  ASSERT_NE(pDecoder, nullptr);
  std::unique_ptr<uint8_t, PictureDeleterS> pPicture(
      allocate_picture(pDecoder->get_width(), pDecoder->get_height(), PICTURE_RGBA32));
  EXPECT_TRUE(pDecoder->decode_frame(0, pPicture.get()));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "fliksel: a movie's HDR pictures of 4352 x 2176 are shown without tone mapping: it is done up to "
            "4096 x 2304\n");
}

TEST(MovieDecoderRefusal, SoundTextAndNothingAreNoMovies) {
  for (const char* szName : {"tone.wav", "notes.txt"}) {
    const BytesT rFile = read_file(matrix_path(szName));
    ASSERT_FALSE(rFile.empty()) << szName;
    EXPECT_EQ(MovieDecoderC::open(rFile.data(), static_cast<uint32_t>(rFile.size())), nullptr) << szName;
  }
  const uint8_t rByte[1] = {0};
  EXPECT_EQ(MovieDecoderC::open(rByte, 0), nullptr);
  EXPECT_EQ(MovieDecoderC::open(nullptr, 10), nullptr);
}

TEST(MovieDecoderDamage, TruncatedFilesOpenOrNotButNeverReadPastTheirEnd) {
  for (const char* szName : {"mp4_h264_bframes.mp4", "mkv_vp9.mkv", "ogv_theora.ogv", "mov_png.mov"}) {
    const BytesT rWhole = read_file(matrix_path(szName));
    ASSERT_FALSE(rWhole.empty()) << szName;
    for (size_t uiSize : {rWhole.size() / 2, rWhole.size() - 7, size_t{600}}) {
      // An exact copy of the cut, so reads beyond it are caught.
      const BytesT rCut(rWhole.begin(), rWhole.begin() + static_cast<std::ptrdiff_t>(uiSize));
      std::unique_ptr<MovieDecoderC> pDecoder(MovieDecoderC::open(rCut.data(), static_cast<uint32_t>(rCut.size())));
      if (!pDecoder) {
        continue;
      }
      std::unique_ptr<uint8_t, PictureDeleterS> pPicture(
          allocate_picture(pDecoder->get_width(), pDecoder->get_height(), PICTURE_RGBA32));
      EXPECT_LE(pDecoder->get_frame_count(), 24) << szName;
      for (int32_t i : {0, pDecoder->get_frame_count() - 1, 1, 0}) {
        pDecoder->decode_frame(i, pPicture.get());
      }
      EXPECT_FALSE(pDecoder->decode_frame(pDecoder->get_frame_count(), pPicture.get()));
      EXPECT_FALSE(pDecoder->decode_frame(-1, pPicture.get()));
    }
  }
}

// A chunk offset table ("stco") that claims 83,886,081 entries in a file of
// a few kilobytes: libavformat would size a block of 640 MiB by the claim.
TEST(MovieDecoderDamage, TablesClaimingMoreThanTheFileAllocateWithinTheLimit) {
  BytesT rFile = read_file(matrix_path("mp4_h264_bframes.mp4"));
  const uint8_t rBox[4] = {'s', 't', 'c', 'o'};
  const auto pBox = std::search(rFile.begin(), rFile.end(), std::begin(rBox), std::end(rBox));
  ASSERT_NE(pBox, rFile.end());
  // After the type: version and flags, then the number of entries.
  const uint8_t rClaim[4] = {0x05, 0x00, 0x00, 0x01};
  std::copy(std::begin(rClaim), std::end(rClaim), pBox + 8);
  std::unique_ptr<MovieDecoderC> pDecoder(MovieDecoderC::open(rFile.data(), static_cast<uint32_t>(rFile.size())));
  EXPECT_EQ(pDecoder, nullptr);

  // The limit stays in force, and the largest picture's block fits under it.
  void* pClaimed = av_malloc(size_t{83886081} * 8);
  EXPECT_EQ(pClaimed, nullptr);
  av_free(pClaimed);
  void* pPlane = av_malloc(size_t{8192} * 4 * 4321 + PICTURE_PADDING);
  EXPECT_NE(pPlane, nullptr);
  av_free(pPlane);
}

}  // namespace
