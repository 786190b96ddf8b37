#ifndef PLUGINS_VIDEO_VIDEOREADERC_H
#define PLUGINS_VIDEO_VIDEOREADERC_H

#include <cstdint>
#include <string>

#include "platform/pictureconverterc.h"

// What the video importables ask of the reader that turns their file's
// bytes, which they own and the reader only borrows, into pictures. A
// reader keeps the one picture it decoded last.
// Frame numbers beyond either end wrap around: videos loop.
inline int32_t wrap_frame(int32_t i32Frame, int32_t i32Count) {
  const int32_t i32Wrapped = i32Frame % i32Count;
  return i32Wrapped < 0 ? i32Wrapped + i32Count : i32Wrapped;
}

class VideoReaderC {
 public:
  virtual ~VideoReaderC() = default;

  // Attaches the file bytes, which must outlive the reader. Success shows as
  // get_frame returning pixels.
  virtual void parse(const uint8_t* pData, uint32_t ui32Size) = 0;
  // The pixels of frame i32Frame, wrapped into the frame count, laid out as
  // get_layout says; null when the file cannot be decoded.
  virtual const uint8_t* get_frame(int32_t i32Frame) = 0;
  virtual int32_t get_width() = 0;
  virtual int32_t get_height() = 0;
  virtual int32_t get_bit_depth() = 0;
  virtual int32_t get_frame_count() = 0;
  virtual float get_fps() = 0;
  // The last decoded picture, null before the first.
  virtual const uint8_t* get_data() = 0;
  virtual PictureLayoutE get_layout() = 0;

  // Why parse found nothing it can decode, in a few words; empty when it did.
  const std::string& get_problem() const { return m_sProblem; }

 protected:
  std::string m_sProblem;
};

#endif
