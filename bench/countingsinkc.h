#ifndef BENCH_COUNTINGSINKC_H
#define BENCH_COUNTINGSINKC_H

#include <chrono>
#include <cstdint>

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "player/framesinkc.h"

// Frames a fixed number of milliseconds apart, drawn into the OpenGL
// driver's offscreen image (Mesa, no window) and counted, not kept, until
// the presentation ends or i32MaxFrames were drawn. The milliseconds a frame
// are timed from the end of the first frame, so that opening the window and
// compiling go uncounted.
class CountingSinkC : public FrameSinkC {
 public:
  explicit CountingSinkC(int32_t i32FrameMs, int32_t i32MaxFrames = INT32_MAX)
      : m_i32FrameMs(i32FrameMs), m_i32MaxFrames(i32MaxFrames) {}

  bool attach(DeviceDriverBaseC* pDriver, const OfflinePresentationS&) override {
    auto* pOffscreen = static_cast<OffscreenInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
    if (!pOffscreen) {
      return false;
    }
    pOffscreen->set_offscreen(true);
    return true;
  }
  int32_t get_frame_time_ms() const override { return m_i32Frames * m_i32FrameMs; }
  bool write_frame() override {
    const auto rNow = std::chrono::steady_clock::now();
    if (m_i32Frames == 0) {
      m_rFirst = rNow;
    }
    m_rLast = rNow;
    ++m_i32Frames;
    return m_i32Frames < m_i32MaxFrames;
  }

  int32_t get_frames() const { return m_i32Frames; }
  // Negative before two frames were drawn.
  double ms_a_frame() const {
    return m_i32Frames < 2 ? -1.0
                           : std::chrono::duration<double, std::milli>(m_rLast - m_rFirst).count() / (m_i32Frames - 1);
  }

 private:
  int32_t m_i32FrameMs;
  int32_t m_i32MaxFrames;
  int32_t m_i32Frames = 0;
  std::chrono::steady_clock::time_point m_rFirst;
  std::chrono::steady_clock::time_point m_rLast;
};

#endif
