#ifndef PLAYER_FRAMETIMINGC_H
#define PLAYER_FRAMETIMINGC_H

#include <cstdint>

// Frames per second as a fraction, so that the rates of video people
// (30000/1001 for 29.97) give exact timestamps: a frame lasts
// m_i32Denominator / m_i32Numerator seconds.
struct FrameRateS {
  int32_t m_i32Numerator = 60;
  int32_t m_i32Denominator = 1;
};

// The times of an offline run, the same for every output: frame k is drawn
// at k × 1000 / fps milliseconds (truncated), and the frame loop draws every
// frame before the presentation's end. A run of a span draws only the frames
// of the whole run whose times lie in [from, to), under their own numbers,
// so that the spans of one render join into the whole; a span without a `to`
// goes to the presentation's end, end frame included, as the whole does.
class FrameTimingC {
 public:
  // i64EndMs as presentation_end_ms gives it; -1 when there is no end. The
  // span in milliseconds; i64ToMs -1 for the end.
  FrameTimingC(FrameRateS rRate, int64_t i64EndMs, int64_t i64FromMs = 0, int64_t i64ToMs = -1)
      : m_rRate(rRate),
        m_bSpanEnds(i64ToMs >= 0 && (i64EndMs < 0 || i64ToMs < i64EndMs)),
        m_i64EndMs(m_bSpanEnds ? i64ToMs : i64EndMs),
        m_i64FromMs(i64FromMs) {}

  FrameRateS get_rate() const { return m_rRate; }
  // Where the run ends: the presentation's end, or the span's if earlier.
  int64_t get_end_ms() const { return m_i64EndMs; }
  int64_t frame_time_ms(int64_t i64Frame) const {
    return i64Frame * 1000 * m_rRate.m_i32Denominator / m_rRate.m_i32Numerator;
  }
  // The first frame drawn: the smallest k with k × 1000 / fps ≥ from.
  int64_t get_first_frame() const { return first_frame_at(m_i64FromMs); }
  // The frame after the last one drawn: the smallest k whose time is not
  // before the end, which for a whole run is the number of frames. -1
  // without an end.
  int64_t get_end_frame() const { return m_i64EndMs < 0 ? -1 : first_frame_at(m_i64EndMs); }
  // The sample at which frame k begins, at i32Rate samples a second.
  int64_t frame_start_sample(int64_t i64Frame, int32_t i32Rate) const {
    return i64Frame * i32Rate * m_rRate.m_i32Denominator / m_rRate.m_i32Numerator;
  }
  // Where the sound of the run ends: the presentation's end (in whole
  // milliseconds, the length the clock gives it), or for a span that ends
  // before it, where the span's last frame ends and the next span's sound
  // begins.
  int64_t sound_end_sample(int32_t i32Rate) const {
    return m_bSpanEnds ? frame_start_sample(get_end_frame(), i32Rate) : m_i64EndMs * i32Rate / 1000;
  }

 private:
  int64_t first_frame_at(int64_t i64Ms) const {
    const int64_t i64Per = 1000 * static_cast<int64_t>(m_rRate.m_i32Denominator);
    return (i64Ms * m_rRate.m_i32Numerator + i64Per - 1) / i64Per;
  }

  FrameRateS m_rRate;
  bool m_bSpanEnds;
  int64_t m_i64EndMs;
  int64_t m_i64FromMs;
};

#endif
