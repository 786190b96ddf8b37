#ifndef PLUGINS_VIDEO_FRAMEREADAHEADC_H
#define PLUGINS_VIDEO_FRAMEREADAHEADC_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Decodes the frame a video will most likely show next on a worker thread,
// while the caller's thread draws the one it has. The guess is the last step
// between two different frames repeated (+1 until there is one, so plain
// playback reads ahead forwards, backward playback backwards); steps larger
// than a few frames are jumps, after which nothing is read ahead. A request
// for another frame than the one read ahead cancels it: the worker's picture
// is dropped (a decode already running is waited for, since a decoder cannot
// stop inside a picture) and the frame is decoded on the caller's thread.
//
// The decode function is only ever running on one thread at a time, so a
// decoder needs no locks of its own; it must touch nothing else the caller's
// thread uses (no OpenGL). Pictures live in two buffers made by the
// reader's own allocation function: the one a get returns stays valid until
// the next get.
class FrameReadAheadC {
 public:
  // Decodes frame i32Frame (0 to the frame count - 1) into pOut; false when
  // it cannot.
  using DecodeT = std::function<bool(int32_t i32Frame, uint8_t* pOut)>;
  // A picture buffer, null when out of memory; and how it is freed.
  using AllocateT = std::function<uint8_t*()>;
  using FreeT = void (*)(uint8_t* pPicture);

  FrameReadAheadC(DecodeT rDecode, int32_t i32FrameCount, const AllocateT& rAllocate, FreeT pFree);
  FrameReadAheadC(const FrameReadAheadC&) = delete;
  FrameReadAheadC& operator=(const FrameReadAheadC&) = delete;
  // Waits for a decode that is running, then ends the worker.
  ~FrameReadAheadC();

  // The pixels of frame i32Frame (0 to the frame count - 1); null when it
  // could not be decoded, which leaves the picture shown before as it was,
  // or when the buffers could not be allocated. The frame shown last costs
  // nothing; the frame read ahead costs at most the rest of its decode.
  const uint8_t* get(int32_t i32Frame);
  // The picture of the last frame decoded, null before the first.
  const uint8_t* get_data() const { return m_i32Shown >= 0 ? m_pShown : nullptr; }

 private:
  // QUEUED: the worker is to decode m_i32AheadFrame; RUNNING: it does;
  // DONE: m_pAhead holds that frame (when m_bAheadDecoded).
  enum class JobE { NONE, QUEUED, RUNNING, DONE };

  void work();
  // Ends the read-ahead; true when it decoded frame i32Frame. Either way the
  // worker is idle on return.
  bool take_read_ahead(int32_t i32Frame);
  void note_step(int32_t i32Frame);
  void read_ahead_after(int32_t i32Frame);

  DecodeT m_rDecode;
  int32_t m_i32FrameCount;
  FreeT m_pFree;
  uint8_t* m_pShown = nullptr;
  // The worker's buffer, or the caller's while the worker is idle.
  uint8_t* m_pAhead = nullptr;
  int32_t m_i32Shown = -1;
  // The last step between two different frames shown; 0 after a jump.
  int32_t m_i32Step = 1;

  // Shared with the worker, under m_rMutex.
  std::mutex m_rMutex;
  std::condition_variable m_rChanged;
  JobE m_eJob = JobE::NONE;
  int32_t m_i32AheadFrame = -1;
  bool m_bAheadDecoded = false;
  bool m_bQuit = false;
  std::thread m_rWorker;
};

#endif
