#include "plugins/video/framereadaheadc.h"

#include <cstdlib>
#include <utility>

namespace {

// Steps between two frames shown up to this many frames are playback (fast,
// slow or backwards); larger ones are jumps, which nothing predicts.
constexpr int32_t MAX_READ_AHEAD_STEP = 4;

}  // namespace

FrameReadAheadC::FrameReadAheadC(DecodeT rDecode, int32_t i32FrameCount, const AllocateT& rAllocate, FreeT pFree)
    : m_rDecode(std::move(rDecode)), m_i32FrameCount(i32FrameCount), m_pFree(pFree) {
  m_pShown = rAllocate();
  m_pAhead = rAllocate();
  if (m_pShown != nullptr && m_pAhead != nullptr && m_i32FrameCount > 0) {
    m_rWorker = std::thread([this] { work(); });
  }
}

FrameReadAheadC::~FrameReadAheadC() {
  if (m_rWorker.joinable()) {
    {
      std::lock_guard<std::mutex> rLock(m_rMutex);
      m_bQuit = true;
    }
    m_rChanged.notify_all();
    m_rWorker.join();
  }
  m_pFree(m_pShown);
  m_pFree(m_pAhead);
}

const uint8_t* FrameReadAheadC::get(int32_t i32Frame) {
  if (!m_rWorker.joinable() || i32Frame < 0 || i32Frame >= m_i32FrameCount) {
    return nullptr;
  }
  if (i32Frame == m_i32Shown) {
    return m_pShown;
  }
  // With the worker idle, the decoder and its buffer are ours.
  if (!take_read_ahead(i32Frame) && !m_rDecode(i32Frame, m_pAhead)) {
    return nullptr;
  }
  std::swap(m_pShown, m_pAhead);
  note_step(i32Frame);
  m_i32Shown = i32Frame;
  read_ahead_after(i32Frame);
  return m_pShown;
}

bool FrameReadAheadC::take_read_ahead(int32_t i32Frame) {
  std::unique_lock<std::mutex> rLock(m_rMutex);
  // Not begun yet: the caller decodes sooner than the worker would wake.
  if (m_eJob == JobE::QUEUED) {
    m_eJob = JobE::NONE;
  }
  m_rChanged.wait(rLock, [this] { return m_eJob != JobE::RUNNING; });
  const bool bHit = m_eJob == JobE::DONE && m_i32AheadFrame == i32Frame && m_bAheadDecoded;
  m_eJob = JobE::NONE;
  return bHit;
}

// Frame numbers wrap: from the last frame to the first is a step of one.
void FrameReadAheadC::note_step(int32_t i32Frame) {
  if (m_i32Shown < 0) {
    return;
  }
  int32_t i32Step = i32Frame - m_i32Shown;
  if (i32Step > m_i32FrameCount / 2) {
    i32Step -= m_i32FrameCount;
  } else if (i32Step < -(m_i32FrameCount / 2)) {
    i32Step += m_i32FrameCount;
  }
  m_i32Step = std::abs(i32Step) <= MAX_READ_AHEAD_STEP ? i32Step : 0;
}

void FrameReadAheadC::read_ahead_after(int32_t i32Frame) {
  const int32_t i32Next = ((i32Frame + m_i32Step) % m_i32FrameCount + m_i32FrameCount) % m_i32FrameCount;
  if (m_i32Step == 0 || i32Next == i32Frame) {
    return;
  }
  {
    std::lock_guard<std::mutex> rLock(m_rMutex);
    m_i32AheadFrame = i32Next;
    m_eJob = JobE::QUEUED;
  }
  m_rChanged.notify_all();
}

void FrameReadAheadC::work() {
  std::unique_lock<std::mutex> rLock(m_rMutex);
  for (;;) {
    m_rChanged.wait(rLock, [this] { return m_bQuit || m_eJob == JobE::QUEUED; });
    if (m_bQuit) {
      return;
    }
    m_eJob = JobE::RUNNING;
    const int32_t i32Frame = m_i32AheadFrame;
    uint8_t* pOut = m_pAhead;
    rLock.unlock();
    const bool bDecoded = m_rDecode(i32Frame, pOut);
    rLock.lock();
    m_bAheadDecoded = bDecoded;
    m_eJob = JobE::DONE;
    m_rChanged.notify_all();
  }
}
