#ifndef PLAYER_FRAMESINKC_H
#define PLAYER_FRAMESINKC_H

#include <cstdint>

class DeviceDriverBaseC;

// Where the frames of an offline run go: it sets each frame's time and takes
// each frame once drawn, instead of a window and the music clock.
class FrameSinkC {
 public:
  virtual ~FrameSinkC() = default;
  // Before the driver opens its output. False when the driver cannot serve.
  virtual bool attach(DeviceDriverBaseC* pDriver, int32_t i32Width, int32_t i32Height) = 0;
  virtual int32_t get_frame_time_ms() const = 0;
  // The frame just drawn; false ends the run.
  virtual bool write_frame() = 0;
};

#endif
