#include "plugins/video/moviereaderc.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Requests this many frames from a position's picture, either way, continue
// it: playback at any speed the read-ahead follows, and a little more.
constexpr int32_t NEAR_FRAMES = 8;
// Enough for a few effects showing one movie at once; each holds a decoder
// and two pictures.
constexpr size_t MAX_POSITIONS = 4;
// A position unused for this many requests (seconds of playback) closes.
constexpr uint64_t UNUSED_REQUESTS = 256;

}  // namespace

void MovieReaderC::parse(const uint8_t* pData, uint32_t ui32Size) {
  m_rPositions.clear();
  m_pLast = nullptr;
  m_sProblem.clear();
  MovieDecoderC* pDecoder = MovieDecoderC::open(pData, ui32Size, &m_sProblem);
  if (pDecoder != nullptr) {
    m_rPositions.push_back(std::make_unique<PositionC>());
    m_rPositions.back()->m_pDecoder.reset(pDecoder);
  }
}

// A frame that does not decode leaves the picture shown before as it was.
const uint8_t* MovieReaderC::get_frame(int32_t i32Frame) {
  if (m_rPositions.empty()) {
    return nullptr;
  }
  const int32_t i32Wanted = wrap_frame(i32Frame, first_decoder().get_frame_count());
  ++m_ui64Requests;
  PositionC& rPosition = position_for(i32Wanted);
  rPosition.m_ui64LastRequest = m_ui64Requests;
  if (!rPosition.m_pReadAhead) {
    MovieDecoderC* pDecoder = rPosition.m_pDecoder.get();
    rPosition.m_pReadAhead = std::make_unique<FrameReadAheadC>(
        [pDecoder](int32_t i32Frame, uint8_t* pOut) { return pDecoder->decode_frame(i32Frame, pOut); },
        pDecoder->get_frame_count(),
        [pDecoder] { return allocate_picture(pDecoder->get_width(), pDecoder->get_height(), MovieDecoderC::LAYOUT); },
        free_picture);
  }
  const uint8_t* pPicture = rPosition.m_pReadAhead->get(i32Wanted);
  if (pPicture != nullptr) {
    rPosition.m_i32Shown = i32Wanted;
    m_pLast = &rPosition;
  }
  close_unused_positions();
  return pPicture;
}

MovieReaderC::PositionC& MovieReaderC::position_for(int32_t i32Frame) {
  const int32_t i32Count = first_decoder().get_frame_count();
  PositionC* pNearest = nullptr;
  PositionC* pOldest = m_rPositions.front().get();
  int32_t i32Nearest = NEAR_FRAMES + 1;
  for (const std::unique_ptr<PositionC>& pPosition : m_rPositions) {
    // Playback that loops goes on from the last frame to the first.
    const int32_t i32Apart = std::abs(i32Frame - pPosition->m_i32Shown);
    const int32_t i32Distance = std::min(i32Apart, i32Count - i32Apart);
    // One that no one followed lately would take over from the position
    // playing on, and neither would close.
    const bool bFollowed = m_ui64Requests - pPosition->m_ui64LastRequest <= 2 * m_rPositions.size();
    if (pPosition->m_i32Shown >= 0 && bFollowed && i32Distance < i32Nearest) {
      i32Nearest = i32Distance;
      pNearest = pPosition.get();
    }
    if (pPosition->m_ui64LastRequest < pOldest->m_ui64LastRequest) {
      pOldest = pPosition.get();
    }
  }
  if (pNearest != nullptr) {
    return *pNearest;
  }
  // Every position was asked since the oldest one's last request: they all
  // follow someone, so a jump gets a position of its own.
  const bool bAllInUse = m_ui64Requests - pOldest->m_ui64LastRequest <= m_rPositions.size();
  if (pOldest->m_i32Shown < 0 || !bAllInUse || m_rPositions.size() >= MAX_POSITIONS) {
    return *pOldest;
  }
  MovieDecoderC* pDecoder = first_decoder().open_again();
  if (pDecoder == nullptr) {
    return *pOldest;
  }
  m_rPositions.push_back(std::make_unique<PositionC>());
  m_rPositions.back()->m_pDecoder.reset(pDecoder);
  return *m_rPositions.back();
}

// The position used last stays, so one always does.
void MovieReaderC::close_unused_positions() {
  if (m_pLast == nullptr) {
    return;
  }
  const auto pUnused = std::remove_if(m_rPositions.begin(), m_rPositions.end(), [&](const auto& pPosition) {
    return pPosition.get() != m_pLast && m_ui64Requests - pPosition->m_ui64LastRequest > UNUSED_REQUESTS;
  });
  m_rPositions.erase(pUnused, m_rPositions.end());
}

uint64_t MovieReaderC::get_seeks() const {
  uint64_t ui64Seeks = 0;
  for (const std::unique_ptr<PositionC>& pPosition : m_rPositions) {
    ui64Seeks += pPosition->m_pDecoder->get_seeks();
  }
  return ui64Seeks;
}

int32_t MovieReaderC::get_width() {
  return m_rPositions.empty() ? 0 : first_decoder().get_width();
}

int32_t MovieReaderC::get_height() {
  return m_rPositions.empty() ? 0 : first_decoder().get_height();
}

int32_t MovieReaderC::get_bit_depth() {
  if (m_rPositions.empty()) {
    return 0;
  }
  return first_decoder().has_alpha() ? 32 : 24;
}

int32_t MovieReaderC::get_frame_count() {
  return m_rPositions.empty() ? 0 : first_decoder().get_frame_count();
}

float MovieReaderC::get_fps() {
  return m_rPositions.empty() ? 0.0f : static_cast<float>(first_decoder().get_fps());
}

const uint8_t* MovieReaderC::get_data() {
  return m_pLast != nullptr ? m_pLast->m_pReadAhead->get_data() : nullptr;
}

PictureLayoutE MovieReaderC::get_layout() {
  return MovieDecoderC::LAYOUT;
}
