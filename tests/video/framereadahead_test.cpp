// The read-ahead worker over a real decoder (the AVI reader on H.264 with
// B-frames, against FFmpeg's decode of every frame): which thread decodes
// what, and that a jump never shows a picture read ahead for another frame.
// The decoder is wrapped in a gate that can hold the worker inside a decode,
// so the tests choose when a jump meets a decode in progress.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "plugins/video/avireaderc.h"
#include "plugins/video/framereadaheadc.h"

namespace {

using BytesT = std::vector<uint8_t>;

BytesT read_media(const std::string& sName) {
  std::ifstream rFile(TIRAVO_VIDEO_MEDIA_DIR "/" + sName, std::ios::binary);
  return BytesT(std::istreambuf_iterator<char>(rFile), std::istreambuf_iterator<char>());
}

constexpr int32_t FRAMES = 24;
constexpr size_t PICTURE_SIZE = 64 * 64 * 3;  // rows of 192 bytes need no padding
constexpr auto PATIENCE = std::chrono::seconds(20);

class GatedDecoderC {
 public:
  GatedDecoderC() : m_rFile(read_media("h264bframes.avi")), m_rExpected(read_media("h264bframes.bgr")) {
    m_rReader.parse(m_rFile.data(), static_cast<uint32_t>(m_rFile.size()));
  }

  bool decode(int32_t i32Frame, uint8_t* pOut) {
    {
      std::unique_lock<std::mutex> rLock(m_rMutex);
      const bool bWorker = std::this_thread::get_id() != m_rMainThread;
      m_rDecodes.emplace_back(i32Frame, bWorker);
      if (bWorker && m_bClosed) {
        m_i32Held = i32Frame;
        m_rChanged.notify_all();
        m_rChanged.wait(rLock, [this] { return !m_bClosed; });
        m_i32Held = -1;
      }
    }
    const uint8_t* pPixels = i32Frame == m_i32Broken ? nullptr : m_rReader.get_frame(i32Frame);
    if (pPixels != nullptr) {
      std::memcpy(pOut, pPixels, PICTURE_SIZE);
    }
    if (std::this_thread::get_id() != m_rMainThread) {
      std::lock_guard<std::mutex> rLock(m_rMutex);
      m_i32WorkerDone = i32Frame;
      m_rChanged.notify_all();
    }
    return pPixels != nullptr;
  }

  void close_gate() {
    std::lock_guard<std::mutex> rLock(m_rMutex);
    m_bClosed = true;
  }
  void open_gate() {
    {
      std::lock_guard<std::mutex> rLock(m_rMutex);
      m_bClosed = false;
    }
    m_rChanged.notify_all();
  }
  // Opens the gate from another thread a little later, while this one waits
  // in the read-ahead for the decode the gate holds.
  std::thread open_gate_soon() {
    return std::thread([this] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      open_gate();
    });
  }
  ::testing::AssertionResult worker_held_at(int32_t i32Frame) {
    std::unique_lock<std::mutex> rLock(m_rMutex);
    if (m_rChanged.wait_for(rLock, PATIENCE, [&] { return m_i32Held == i32Frame; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the worker never began frame " << i32Frame;
  }
  // Waits until the worker has decoded frame i32Frame, as drawing would.
  ::testing::AssertionResult worker_decoded(int32_t i32Frame) {
    std::unique_lock<std::mutex> rLock(m_rMutex);
    if (m_rChanged.wait_for(rLock, PATIENCE, [&] { return m_i32WorkerDone == i32Frame; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the worker did not read frame " << i32Frame << " ahead";
  }
  std::vector<std::pair<int32_t, bool>> take_decodes() {
    std::lock_guard<std::mutex> rLock(m_rMutex);
    return std::exchange(m_rDecodes, {});
  }

  ::testing::AssertionResult is_frame(const uint8_t* pPixels, int32_t i32Frame) const {
    if (pPixels == nullptr) {
      return ::testing::AssertionFailure() << "no picture for frame " << i32Frame;
    }
    if (std::memcmp(pPixels, &m_rExpected[static_cast<size_t>(i32Frame) * PICTURE_SIZE], PICTURE_SIZE) != 0) {
      return ::testing::AssertionFailure() << "not the picture of frame " << i32Frame;
    }
    return ::testing::AssertionSuccess();
  }

  size_t expected_size() const { return m_rExpected.size(); }

  int32_t m_i32Broken = -1;

 private:
  BytesT m_rFile;
  BytesT m_rExpected;
  AviReaderC m_rReader;
  const std::thread::id m_rMainThread = std::this_thread::get_id();
  std::mutex m_rMutex;
  std::condition_variable m_rChanged;
  bool m_bClosed = false;
  int32_t m_i32Held = -1;
  int32_t m_i32WorkerDone = -1;  // the frame the worker decoded last
  std::vector<std::pair<int32_t, bool>> m_rDecodes;  // frame, on the worker
};

class FrameReadAheadTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(m_rDecoder.expected_size(), FRAMES * PICTURE_SIZE); }

  GatedDecoderC m_rDecoder;
  std::unique_ptr<FrameReadAheadC> m_pAhead = std::make_unique<FrameReadAheadC>(
      [this](int32_t i32Frame, uint8_t* pOut) { return m_rDecoder.decode(i32Frame, pOut); }, FRAMES,
      [] { return new uint8_t[PICTURE_SIZE]; }, [](uint8_t* pPicture) { delete[] pPicture; });
};

using DecodesT = std::vector<std::pair<int32_t, bool>>;

TEST_F(FrameReadAheadTest, PlaybackIsReadAheadOnTheWorkerFrameByFrameExactlyAndWraps) {
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(0), 0));
  EXPECT_EQ(m_rDecoder.take_decodes().front(), std::make_pair(0, false));
  for (int32_t i = 1; i < FRAMES + 3; ++i) {
    const int32_t i32Frame = i % FRAMES;
    ASSERT_TRUE(m_rDecoder.worker_decoded(i32Frame));
    m_rDecoder.take_decodes();
    const uint8_t* pPixels = m_pAhead->get(i32Frame);
    ASSERT_TRUE(m_rDecoder.is_frame(pPixels, i32Frame));
    EXPECT_EQ(m_pAhead->get_data(), pPixels);
    // Nothing decoded on this thread: the picture was waiting.
    for (const auto& rDecode : m_rDecoder.take_decodes()) {
      EXPECT_TRUE(rDecode.second) << "frame " << rDecode.first << " decoded on the caller's thread";
    }
  }
}

TEST_F(FrameReadAheadTest, BackwardPlaybackReadsAheadBackwardsAndARepeatedFrameDecodesNothing) {
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(20), 20));
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(19), 19));
  ASSERT_TRUE(m_rDecoder.worker_decoded(18));
  m_rDecoder.take_decodes();
  const uint8_t* pPixels = m_pAhead->get(18);
  ASSERT_TRUE(m_rDecoder.is_frame(pPixels, 18));
  ASSERT_TRUE(m_rDecoder.worker_decoded(17));
  m_rDecoder.take_decodes();
  EXPECT_EQ(m_pAhead->get(18), pPixels);
  EXPECT_EQ(m_pAhead->get(18), pPixels);
  EXPECT_TRUE(m_rDecoder.take_decodes().empty());
  // Two frames a step (double speed) is still playback.
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(16), 16));
  ASSERT_TRUE(m_rDecoder.worker_decoded(14));
}

TEST_F(FrameReadAheadTest, AJumpDuringAReadAheadWaitsForItThenShowsTheFrameAskedFor) {
  m_rDecoder.close_gate();
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(3), 3));
  ASSERT_TRUE(m_rDecoder.worker_held_at(4));
  EXPECT_EQ(m_rDecoder.take_decodes(), (DecodesT{{3, false}, {4, true}}));
  std::thread rOpener = m_rDecoder.open_gate_soon();
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(12), 12));
  rOpener.join();
  // Frame 4 was decoded and dropped; 12 was decoded here. After a jump
  // nothing is read ahead, so the next frame is decoded here too.
  EXPECT_EQ(m_rDecoder.take_decodes(), (DecodesT{{12, false}}));
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(13), 13));
  EXPECT_EQ(m_rDecoder.take_decodes().front(), std::make_pair(13, false));
  // Playing on from 13 reads ahead again; a jump back to the dropped frame
  // decodes it afresh rather than taking what was read ahead of 13.
  ASSERT_TRUE(m_rDecoder.worker_decoded(14));
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(4), 4));
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(14), 14));
}

TEST_F(FrameReadAheadTest, AfterAJumpNothingIsReadAheadUntilPlaybackGoesOn) {
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(7), 7));
  ASSERT_TRUE(m_rDecoder.worker_decoded(8));
  m_rDecoder.take_decodes();
  for (int32_t i32Frame : {2, 21, 9}) {
    ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(i32Frame), i32Frame));
    // Time enough for a worker that guessed to begin.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(m_rDecoder.take_decodes(), (DecodesT{{i32Frame, false}})) << "after the jump to " << i32Frame;
  }
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(10), 10));
  EXPECT_TRUE(m_rDecoder.worker_decoded(11));
}

TEST_F(FrameReadAheadTest, AFrameThatCannotBeDecodedKeepsThePictureBeforeAndPlaybackGoesOn) {
  m_rDecoder.m_i32Broken = 6;
  EXPECT_EQ(m_pAhead->get_data(), nullptr);
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(5), 5));
  ASSERT_TRUE(m_rDecoder.worker_decoded(6));
  EXPECT_EQ(m_pAhead->get(6), nullptr);  // read ahead and failed, then tried again
  EXPECT_TRUE(m_rDecoder.is_frame(m_pAhead->get_data(), 5));
  EXPECT_EQ(m_pAhead->get(6), nullptr);
  EXPECT_TRUE(m_rDecoder.is_frame(m_pAhead->get(7), 7));
  EXPECT_TRUE(m_rDecoder.is_frame(m_pAhead->get(5), 5));
  EXPECT_EQ(m_pAhead->get(FRAMES), nullptr);
  EXPECT_EQ(m_pAhead->get(-1), nullptr);
}

TEST_F(FrameReadAheadTest, EndsCleanlyWhileTheWorkerIsInsideADecode) {
  m_rDecoder.close_gate();
  ASSERT_TRUE(m_rDecoder.is_frame(m_pAhead->get(0), 0));
  ASSERT_TRUE(m_rDecoder.worker_held_at(1));
  std::thread rOpener = m_rDecoder.open_gate_soon();
  m_pAhead.reset();
  rOpener.join();
  EXPECT_EQ(m_rDecoder.take_decodes(), (DecodesT{{0, false}, {1, true}}));
}

}  // namespace
