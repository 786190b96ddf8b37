#ifndef PLAYER_FRAMEOUTPUTC_H
#define PLAYER_FRAMEOUTPUTC_H

#include <cstdint>
#include <string>

#include "player/frametimingc.h"

// What the frames of an offline run become.
struct OutputFormatS {
  int32_t m_i32Width;
  int32_t m_i32Height;
  FrameTimingC m_rTiming;
  std::string m_sMusicFileName;
  std::string m_sMusicFolder;  // the document's, looked in first
};

// Where OfflineRenderC puts the frames it reads back: PNG files or a video.
// A false result leaves the reason in get_error().
class FrameOutputC {
 public:
  virtual ~FrameOutputC() = default;
  // Whether pictures need an even width and height (an odd layout size is
  // then rounded up).
  virtual bool needs_even_size() const = 0;
  // Before the first frame.
  virtual bool open(const OutputFormatS& rFormat) = 0;
  // Frame i64Frame: RGB, top row first, width × height × 3 bytes.
  virtual bool write_frame(const uint8_t* pRgb, int64_t i64Frame) = 0;
  // After the last frame: whatever makes the output complete.
  virtual bool finish() = 0;
  const std::string& get_error() const { return m_sError; }

 protected:
  bool fail(std::string sError) {
    m_sError = std::move(sError);
    return false;
  }

 private:
  std::string m_sError;
};

#endif
