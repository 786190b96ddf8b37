#ifndef PLAYER_OFFLINERENDERC_H
#define PLAYER_OFFLINERENDERC_H

#include <cstdint>
#include <string>
#include <vector>

#include "player/framesinkc.h"

class OffscreenInterfaceC;

// Plays a presentation offline: frame k is drawn at k × 1000 / fps
// milliseconds into an image that no window shows, and written as
// DIR/frame-NNNNNN.png.
class OfflineRenderC : public FrameSinkC {
 public:
  OfflineRenderC(std::string sDirectory, int32_t i32Fps);

  // Before the driver opens its output: have it draw offscreen. False, with a
  // message, when the driver cannot.
  bool attach(DeviceDriverBaseC* pDriver, int32_t i32Width, int32_t i32Height) override;
  int32_t get_frame_time_ms() const override;
  // Writes the frame just drawn and moves on to the next. False, with a
  // message, when it cannot be read or written.
  bool write_frame() override;
  int32_t get_frame_count() const { return m_i32Frame; }
  // Whether attaching, reading or writing a frame failed.
  bool has_failed() const { return m_bFailed; }

 private:
  void report_progress() const;

  std::string m_sDirectory;
  int32_t m_i32Fps;
  int32_t m_i32Frame = 0;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  OffscreenInterfaceC* m_pOffscreen = nullptr;
  std::vector<uint8_t> m_rPixels;
  bool m_bShowProgress;
  bool m_bFailed = false;
};

#endif
