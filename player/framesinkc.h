#ifndef PLAYER_FRAMESINKC_H
#define PLAYER_FRAMESINKC_H

#include <cstdint>
#include <string>

class DeviceDriverBaseC;

// What an offline run is told of the presentation before its first frame.
struct OfflinePresentationS {
  int32_t m_i32LayoutWidth = 0;
  int32_t m_i32LayoutHeight = 0;
  // The presentation's length: see presentation_end_ms; -1 when it never ends.
  int64_t m_i64EndMs = -1;
  std::string m_sMusicFileName;
  std::string m_sDocumentFolder;
};

// Where the frames of an offline run go: it sets each frame's time and takes
// each frame once drawn, instead of a window and the music clock.
class FrameSinkC {
 public:
  virtual ~FrameSinkC() = default;
  // Before the driver opens its output. False when the driver cannot serve.
  virtual bool attach(DeviceDriverBaseC* pDriver, const OfflinePresentationS& rPresentation) = 0;
  virtual int32_t get_frame_time_ms() const = 0;
  // The frame just drawn; false ends the run.
  virtual bool write_frame() = 0;
};

#endif
