#ifndef PLAYER_FRAMETIMINGC_H
#define PLAYER_FRAMETIMINGC_H

#include <cstdint>

// The times of an offline run, the same for every output: frame k is drawn
// at k × 1000 / fps milliseconds (truncated), and the frame loop draws every
// frame before the presentation's end.
class FrameTimingC {
 public:
  // i64EndMs as presentation_end_ms gives it; -1 when there is no end.
  FrameTimingC(int32_t i32Fps, int64_t i64EndMs) : m_i32Fps(i32Fps), m_i64EndMs(i64EndMs) {}

  int32_t get_fps() const { return m_i32Fps; }
  int64_t get_end_ms() const { return m_i64EndMs; }
  int64_t frame_time_ms(int64_t i64Frame) const { return i64Frame * 1000 / m_i32Fps; }
  // Frames whose time comes before the end, which are the ones the frame
  // loop draws: the smallest k with k × 1000 / fps ≥ end. -1 without an end.
  int64_t get_frame_count() const {
    return m_i64EndMs < 0 ? -1 : (m_i64EndMs * m_i32Fps + 999) / 1000;
  }

 private:
  int32_t m_i32Fps;
  int64_t m_i64EndMs;
};

#endif
