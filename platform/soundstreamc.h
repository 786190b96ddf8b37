#ifndef PLATFORM_SOUNDSTREAMC_H
#define PLATFORM_SOUNDSTREAMC_H

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/sounddecoderc.h"

// A music file decoded on its own thread into a ring of fixed size ahead of
// play. The audio callback takes frames out of the ring; the position counts
// what the callback handed to the device.
class SoundStreamC {
 public:
  using ClockT = std::chrono::steady_clock;

  // Null, with i32Error set, when the file cannot be played.
  static std::unique_ptr<SoundStreamC> open(const char* szFileName, int32_t i32Rate, int32_t& i32Error);
  SoundStreamC(const SoundStreamC&) = delete;
  SoundStreamC& operator=(const SoundStreamC&) = delete;
  ~SoundStreamC();

  // Main thread.
  void set_time_ms(int64_t i64Ms);
  int64_t get_time_ms();

  // Called with the audio device locked, so no callback runs meanwhile.
  void start();
  void stop();

  // Audio callback: adds ui32Frames stereo frames, scaled by the channel's
  // gains, to pOut. rNow is when this callback began.
  void mix(float* pOut, uint32_t ui32Frames, float f32LeftGain, float f32RightGain, ClockT::time_point rNow);

 private:
  SoundStreamC(std::unique_ptr<SoundDecoderC> pDecoder, int32_t i32Rate);
  void run();
  uint32_t free_frames() const { return m_ui32Capacity - m_ui32Count; }
  uint32_t push(const float* pData, uint32_t ui32Frames);
  void drop(uint32_t ui32Frames);

  const int32_t m_i32Rate;
  const uint32_t m_ui32Capacity;      // frames the ring holds
  const uint32_t m_ui32RefillFrames;  // free space that wakes the decoder
  std::unique_ptr<SoundDecoderC> m_pDecoder;  // decoding thread only

  std::mutex m_rMutex;
  std::condition_variable m_rWake;
  std::vector<float> m_rRing;
  uint32_t m_ui32Read = 0;   // frame index of the ring's first frame
  uint32_t m_ui32Count = 0;  // frames in the ring
  int64_t m_i64RingFrame = 0;  // the file's frame at the ring's first frame
  int64_t m_i64Position = 0;   // frames handed to the device, silence past the end included
  bool m_bEndOfData = false;   // the ring holds the rest of the file
  bool m_bQuit = false;
  bool m_bSeekPending = false;
  int64_t m_i64SeekFrame = 0;
  bool m_bWaitingForSpace = false;
  // The last callback: its time and how many frames it counted, to spread
  // them over the time they take to play.
  bool m_bPlaying = false;
  ClockT::time_point m_rChunkTime;
  int64_t m_i64ChunkFrames = 0;

  std::thread m_rThread;
};

#endif
