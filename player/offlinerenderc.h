#ifndef PLAYER_OFFLINERENDERC_H
#define PLAYER_OFFLINERENDERC_H

#include <cstdint>
#include <vector>

#include "player/frameoutputc.h"
#include "player/framesinkc.h"
#include "player/frametimingc.h"

class OffscreenInterfaceC;

// Plays a presentation offline: frame k is drawn at k × 1000 / fps
// milliseconds (truncated) into an image that no window shows, read back and handed to
// the output. The image is the layout's size unless another is asked for;
// the layout is then letterboxed into it as into a window.
class OfflineRenderC : public FrameSinkC {
 public:
  // i32Width × i32Height is the picture size; 0 × 0 for the layout's.
  OfflineRenderC(FrameOutputC* pOutput, FrameRateS rFps, int32_t i32Width = 0, int32_t i32Height = 0);
  // Only the frames of [i64FromMs, i64ToMs) of the whole run; i64ToMs -1 for
  // the end. Before the run.
  void set_span(int64_t i64FromMs, int64_t i64ToMs) {
    m_i64SpanFromMs = i64FromMs;
    m_i64SpanToMs = i64ToMs;
  }

  // Before the driver opens its output: have it draw offscreen and open the
  // output. False, with a message, when either cannot be done.
  bool attach(DeviceDriverBaseC* pDriver, const OfflinePresentationS& rPresentation) override;
  int32_t get_frame_time_ms() const override;
  // Hands the frame just drawn to the output and moves on to the next.
  // False, with a message, when it cannot be read or written; false too
  // after the last frame of a span.
  bool write_frame() override;
  // After the player's run: completes the output. False, with a message,
  // when the run failed or stopped before the presentation's end.
  bool finish();
  // Frames written so far.
  int32_t get_frame_count() const { return static_cast<int32_t>(m_i64Frame - m_rTiming.get_first_frame()); }
  int32_t get_width() const { return m_i32Width; }
  int32_t get_height() const { return m_i32Height; }
  // Whether attaching, reading, writing or finishing failed.
  bool has_failed() const { return m_bFailed; }

 private:
  bool choose_size(const OfflinePresentationS& rPresentation);
  bool draw_offscreen(DeviceDriverBaseC* pDriver, const OfflinePresentationS& rPresentation);
  bool fail(const char* szFormat, ...) __attribute__((format(printf, 2, 3)));
  void report_progress();
  void end_progress();

  FrameOutputC* m_pOutput;
  FrameTimingC m_rTiming;
  int64_t m_i64Frame = 0;
  int64_t m_i64SpanFromMs = 0;
  int64_t m_i64SpanToMs = -1;
  int32_t m_i32Width;
  int32_t m_i32Height;
  OffscreenInterfaceC* m_pOffscreen = nullptr;
  std::vector<uint8_t> m_rPixels;
  bool m_bShowProgress;
  bool m_bProgressShown = false;
  int64_t m_i64StartMs = 0;
  int64_t m_i64LastReportMs = 0;
  bool m_bFailed = false;
};

#endif
