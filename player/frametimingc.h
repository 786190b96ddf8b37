#ifndef PLAYER_FRAMETIMINGC_H
#define PLAYER_FRAMETIMINGC_H

#include <cstdint>

// The times of an offline run, the same for every output: frame k is drawn
// at k × 1000 / fps milliseconds (truncated), and the frame loop draws every
// frame before the presentation's end. A run of a span draws only the frames
// of the whole run whose times lie in [from, to), under their own numbers,
// so that the spans of one render join into the whole.
class FrameTimingC {
 public:
  // i64EndMs as presentation_end_ms gives it; -1 when there is no end. The
  // span in milliseconds; i64ToMs -1 for the end.
  FrameTimingC(int32_t i32Fps, int64_t i64EndMs, int64_t i64FromMs = 0, int64_t i64ToMs = -1)
      : m_i32Fps(i32Fps),
        m_i64EndMs(i64ToMs >= 0 && (i64EndMs < 0 || i64ToMs < i64EndMs) ? i64ToMs : i64EndMs),
        m_i64FromMs(i64FromMs) {}

  int32_t get_fps() const { return m_i32Fps; }
  // Where the run ends: the presentation's end, or the span's if earlier.
  int64_t get_end_ms() const { return m_i64EndMs; }
  int64_t frame_time_ms(int64_t i64Frame) const { return i64Frame * 1000 / m_i32Fps; }
  // The first frame drawn: the smallest k with k × 1000 / fps ≥ from.
  int64_t get_first_frame() const { return first_frame_at(m_i64FromMs); }
  // The frame after the last one drawn: the smallest k whose time is not
  // before the end, which for a whole run is the number of frames. -1
  // without an end.
  int64_t get_end_frame() const { return m_i64EndMs < 0 ? -1 : first_frame_at(m_i64EndMs); }

 private:
  int64_t first_frame_at(int64_t i64Ms) const { return (i64Ms * m_i32Fps + 999) / 1000; }

  int32_t m_i32Fps;
  int64_t m_i64EndMs;
  int64_t m_i64FromMs;
};

#endif
