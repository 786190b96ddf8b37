#include "platform/soundstreamc.h"

#include <algorithm>
#include <cstring>
#include <system_error>

#include "platform/soundlibrary.h"

namespace {

// Two seconds decoded ahead: ample against a busy machine, and a fixed cap
// on memory whatever the file claims. The decoder sleeps until a quarter
// second is free, so it wakes a few times a second rather than per callback.
constexpr int32_t RING_SECONDS = 2;
constexpr int32_t REFILL_DIVISOR = 4;
// Longer than any callback period: a stalled device cannot push the
// interpolated position far, and the arithmetic stays far from overflow.
constexpr int64_t MAX_INTERPOLATION_NS = 1000000000;

}  // namespace

std::unique_ptr<SoundStreamC> SoundStreamC::open(const char* szFileName, int32_t i32Rate, int32_t& i32Error) {
  auto pDecoder = std::make_unique<SoundDecoderC>();
  i32Error = pDecoder->open(szFileName, i32Rate);
  if (i32Error != SOUND_ERROR_NONE) {
    return nullptr;
  }
  std::unique_ptr<SoundStreamC> pStream(new SoundStreamC(std::move(pDecoder), i32Rate));
  try {
    pStream->m_rThread = std::thread(&SoundStreamC::run, pStream.get());
  } catch (const std::system_error&) {
    i32Error = SOUND_ERROR_MEMORY;
    return nullptr;
  }
  return pStream;
}

SoundStreamC::SoundStreamC(std::unique_ptr<SoundDecoderC> pDecoder, int32_t i32Rate)
    : m_i32Rate(i32Rate),
      m_ui32Capacity(static_cast<uint32_t>(i32Rate) * RING_SECONDS),
      m_ui32RefillFrames(static_cast<uint32_t>(i32Rate) / REFILL_DIVISOR),
      m_pDecoder(std::move(pDecoder)),
      m_rRing(static_cast<size_t>(m_ui32Capacity) * 2) {}

SoundStreamC::~SoundStreamC() {
  {
    std::lock_guard<std::mutex> rLock(m_rMutex);
    m_bQuit = true;
  }
  m_rWake.notify_one();
  if (m_rThread.joinable()) {
    m_rThread.join();
  }
}

uint32_t SoundStreamC::push(const float* pData, uint32_t ui32Frames) {
  const uint32_t ui32Total = std::min(ui32Frames, free_frames());
  uint32_t ui32Done = 0;
  while (ui32Done < ui32Total) {
    const uint32_t ui32Write = (m_ui32Read + m_ui32Count) % m_ui32Capacity;
    const uint32_t ui32Run = std::min(ui32Total - ui32Done, m_ui32Capacity - ui32Write);
    std::memcpy(&m_rRing[static_cast<size_t>(ui32Write) * 2], pData + static_cast<size_t>(ui32Done) * 2,
                static_cast<size_t>(ui32Run) * 2 * sizeof(float));
    m_ui32Count += ui32Run;
    ui32Done += ui32Run;
  }
  return ui32Total;
}

void SoundStreamC::drop(uint32_t ui32Frames) {
  m_ui32Read = (m_ui32Read + ui32Frames) % m_ui32Capacity;
  m_ui32Count -= ui32Frames;
  m_i64RingFrame += ui32Frames;
}

void SoundStreamC::run() {
  std::vector<float> rPending;
  size_t uiPushed = 0;  // floats of rPending already in the ring
  bool bDecodedAll = false;
  std::unique_lock<std::mutex> rLock(m_rMutex);
  while (!m_bQuit) {
    if (m_bSeekPending) {
      // Whatever was decoded before belongs to the old position.
      const int64_t i64Frame = m_i64SeekFrame;
      m_bSeekPending = false;
      rPending.clear();
      uiPushed = 0;
      bDecodedAll = false;
      rLock.unlock();
      m_pDecoder->seek(i64Frame);
      rLock.lock();
      continue;
    }
    if (uiPushed < rPending.size()) {
      uiPushed += static_cast<size_t>(push(rPending.data() + uiPushed, static_cast<uint32_t>((rPending.size() - uiPushed) / 2))) * 2;
      if (uiPushed < rPending.size()) {
        m_bWaitingForSpace = true;
        m_rWake.wait(rLock, [this] { return m_bQuit || m_bSeekPending || free_frames() >= m_ui32RefillFrames; });
        m_bWaitingForSpace = false;
      }
      continue;
    }
    if (bDecodedAll) {
      m_bEndOfData = true;
      m_rWake.wait(rLock, [this] { return m_bQuit || m_bSeekPending; });
      continue;
    }
    rPending.clear();
    uiPushed = 0;
    rLock.unlock();
    const SoundDecoderC::ResultE eResult = m_pDecoder->decode(rPending);
    rLock.lock();
    bDecodedAll = eResult == SoundDecoderC::DECODE_END;
  }
}

void SoundStreamC::set_time_ms(int64_t i64Ms) {
  // Rounded up, so that the position reads back as the milliseconds set.
  const int64_t i64Frame = (i64Ms * m_i32Rate + 999) / 1000;
  {
    std::lock_guard<std::mutex> rLock(m_rMutex);
    m_i64Position = i64Frame;
    m_i64ChunkFrames = 0;
    if (i64Frame >= m_i64RingFrame && i64Frame <= m_i64RingFrame + m_ui32Count) {
      // Already decoded (at least the start right after opening): no seek.
      drop(static_cast<uint32_t>(i64Frame - m_i64RingFrame));
    } else {
      m_ui32Read = 0;
      m_ui32Count = 0;
      m_i64RingFrame = i64Frame;
      m_bEndOfData = false;
      m_bSeekPending = true;
      m_i64SeekFrame = i64Frame;
    }
  }
  m_rWake.notify_one();
}

int64_t SoundStreamC::get_time_ms() {
  std::lock_guard<std::mutex> rLock(m_rMutex);
  int64_t i64Frames = m_i64Position;
  if (m_bPlaying && m_i64ChunkFrames > 0) {
    // The frames of the last callback play out over its period: count them
    // as time passes, never beyond what was handed over. Until the next
    // callback this cannot pass m_i64Position, where the next one starts.
    const int64_t i64Ns = std::min<int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(ClockT::now() - m_rChunkTime).count(),
        MAX_INTERPOLATION_NS);
    const int64_t i64Played = std::clamp<int64_t>(i64Ns * m_i32Rate / 1000000000, 0, m_i64ChunkFrames);
    i64Frames = m_i64Position - m_i64ChunkFrames + i64Played;
  }
  return i64Frames * 1000 / m_i32Rate;
}

void SoundStreamC::start() {
  std::lock_guard<std::mutex> rLock(m_rMutex);
  m_bPlaying = true;
  m_i64ChunkFrames = 0;
}

void SoundStreamC::stop() {
  std::lock_guard<std::mutex> rLock(m_rMutex);
  m_bPlaying = false;
  m_i64ChunkFrames = 0;
}

void SoundStreamC::mix(float* pOut, uint32_t ui32Frames, float f32LeftGain, float f32RightGain,
                       ClockT::time_point rNow) {
  std::lock_guard<std::mutex> rLock(m_rMutex);
  if (!m_bPlaying) {
    return;
  }
  uint32_t ui32Done = 0;
  while (ui32Done < ui32Frames && m_ui32Count > 0) {
    const uint32_t ui32Run = std::min({ui32Frames - ui32Done, m_ui32Count, m_ui32Capacity - m_ui32Read});
    const float* pSrc = &m_rRing[static_cast<size_t>(m_ui32Read) * 2];
    float* pDst = pOut + static_cast<size_t>(ui32Done) * 2;
    for (uint32_t ui32Frame = 0; ui32Frame < ui32Run; ++ui32Frame) {
      pDst[ui32Frame * 2] += pSrc[ui32Frame * 2] * f32LeftGain;
      pDst[ui32Frame * 2 + 1] += pSrc[ui32Frame * 2 + 1] * f32RightGain;
    }
    drop(ui32Run);
    ui32Done += ui32Run;
  }
  // While the decoder falls behind the position waits for it. After the last
  // sample, though, the silence counts as played: a presentation longer than
  // its music must still reach its end instead of hanging at the music's.
  if (m_bEndOfData) {
    ui32Done = ui32Frames;
  }
  m_i64Position += ui32Done;
  m_rChunkTime = rNow;
  m_i64ChunkFrames = ui32Done;
  if (m_bWaitingForSpace && free_frames() >= m_ui32RefillFrames) {
    m_rWake.notify_one();
  }
}
