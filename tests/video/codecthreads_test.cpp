// Pictures large enough for libavcodec's threads must still come out
// exactly as one thread gives them, each in its own place: through the AVI
// reader, and through the movie reader, whose worker reads ahead as well.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/cpu.h>
#include <libavutil/md5.h>
}

#include "platform/decoderthreads.h"
#include "plugins/video/avireaderc.h"
#include "plugins/video/moviereaderc.h"

namespace {

using BytesT = std::vector<uint8_t>;

BytesT read_media(const std::string& sName) {
  std::ifstream rFile(TIRAVO_VIDEO_MEDIA_DIR "/" + sName, std::ios::binary);
  return BytesT(std::istreambuf_iterator<char>(rFile), std::istreambuf_iterator<char>());
}

int32_t thread_count() {
  int32_t i32Threads = 0;
  DIR* pTasks = opendir("/proc/self/task");
  while (pTasks != nullptr && readdir(pTasks) != nullptr) {
    ++i32Threads;
  }
  if (pTasks != nullptr) {
    closedir(pTasks);
  }
  return i32Threads;
}

std::string md5_of(const uint8_t* pBytes, size_t uiSize) {
  uint8_t rDigest[16];
  av_md5_sum(rDigest, pBytes, uiSize);
  std::string sHex;
  for (uint8_t ui8Byte : rDigest) {
    static const char HEX[] = "0123456789abcdef";
    sHex += HEX[ui8Byte >> 4];
    sHex += HEX[ui8Byte & 15];
  }
  return sHex;
}

// The last field of each line of a framemd5 file, in frame order.
std::vector<std::string> frame_md5s(const std::string& sName) {
  std::ifstream rFile(TIRAVO_VIDEO_MEDIA_DIR "/" + sName);
  std::vector<std::string> rSums;
  std::string sLine;
  while (std::getline(rFile, sLine)) {
    if (!sLine.empty() && sLine[0] != '#') {
      rSums.push_back(sLine.substr(sLine.find_last_of(", ") + 1));
    }
  }
  return rSums;
}

// In order, then backward jumps that restart at key frames 0, 8 and 16 and
// decode forward with pictures still in the threads, and random ones.
void expect_frame_exact(VideoReaderC& rReader, const std::vector<std::string>& rSums) {
  ASSERT_EQ(rSums.size(), 24u);
  ASSERT_EQ(rReader.get_width(), 1280);
  auto shows = [&](int32_t i32Frame) {
    const uint8_t* pPixels = rReader.get_frame(i32Frame);
    const size_t uiSize = static_cast<size_t>(picture_stride(1280, rReader.get_layout())) * 720;
    return pPixels != nullptr && md5_of(pPixels, uiSize) == rSums[static_cast<size_t>(i32Frame)];
  };
  for (int32_t i = 0; i < 24; ++i) {
    ASSERT_TRUE(shows(i)) << "in order, frame " << i;
  }
  for (int32_t i : {23, 9, 8, 7, 17, 16, 15, 3, 22, 0, 12, 13, 5, 4, 3}) {
    ASSERT_TRUE(shows(i)) << "jumping to frame " << i;
  }
}

TEST(CodecThreads, LargePicturesDecodeOnThreadsAndStayFrameExact) {
  const BytesT rSmall = read_media("h264.avi");
  const int32_t i32Before = thread_count();
  AviReaderC rSmallReader;
  rSmallReader.parse(rSmall.data(), static_cast<uint32_t>(rSmall.size()));
  ASSERT_NE(rSmallReader.get_frame(0), nullptr);
  EXPECT_EQ(thread_count(), i32Before) << "a 64 x 64 picture needs no threads";

  const BytesT rAvi = read_media("threads720.avi");
  AviReaderC rAviReader;
  rAviReader.parse(rAvi.data(), static_cast<uint32_t>(rAvi.size()));
  ASSERT_NE(rAviReader.get_frame(0), nullptr);
  if (std::thread::hardware_concurrency() > 1) {
    EXPECT_GT(thread_count(), i32Before) << "a 1280 x 720 picture decodes on threads";
  }
  expect_frame_exact(rAviReader, frame_md5s("threads720-avi.framemd5"));

  const BytesT rMp4 = read_media("threads720.mp4");
  MovieReaderC rMovieReader;
  rMovieReader.parse(rMp4.data(), static_cast<uint32_t>(rMp4.size()));
  expect_frame_exact(rMovieReader, frame_md5s("threads720-mp4.framemd5"));
}

// Frame threads each hold a picture: a header claiming the largest picture
// with the widest samples must not make them take gigabytes (it decodes on
// slice threads, which share one picture), while 4K
// pictures keep a thread for every core and one more (of a format not yet
// known, at most seven: 66 MB a picture at 8 bytes a pixel).
TEST(CodecThreads, TheLargestPicturesGetFewerThreads) {
  struct CaseS {
    int32_t m_i32Width, m_i32Height;
    AVPixelFormat m_eFormat;
    int32_t m_i32Threads;
    int32_t m_i32Type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  };
  const int32_t i32All = std::min(av_cpu_count() + 1, 8);
  // A 4K picture of unknown format is taken at eight bytes a pixel; the
  // pictures in flight may take 512 MiB: eight of them fit.
  const int32_t i32UnknownFormat4k = std::min<int32_t>(i32All, (int32_t{512} << 20) / (3840 * 2160 * 8));
  for (const CaseS& rCase : {CaseS{640, 480, AV_PIX_FMT_YUV420P, 1}, CaseS{3840, 2160, AV_PIX_FMT_YUV420P, i32All},
                             CaseS{3840, 2160, AV_PIX_FMT_NONE, i32UnknownFormat4k},
                             CaseS{8192, 4320, AV_PIX_FMT_YUVA444P10LE, i32All, FF_THREAD_SLICE},
                             CaseS{8192, 4320, AV_PIX_FMT_NONE, i32All, FF_THREAD_SLICE}}) {
    AVCodecContext* pCodec = avcodec_alloc_context3(nullptr);
    ASSERT_NE(pCodec, nullptr);
    pCodec->width = rCase.m_i32Width;
    pCodec->height = rCase.m_i32Height;
    pCodec->pix_fmt = rCase.m_eFormat;
    decoder_threads_configure(pCodec);
    EXPECT_EQ(pCodec->thread_count, rCase.m_i32Threads) << rCase.m_i32Width << " x " << rCase.m_i32Height;
    EXPECT_EQ(pCodec->thread_type, rCase.m_i32Type) << rCase.m_i32Width << " x " << rCase.m_i32Height;
    avcodec_free_context(&pCodec);
  }
}

}  // namespace
