#ifndef PLUGINS_VIDEO_AVIREADERC_H
#define PLUGINS_VIDEO_AVIREADERC_H

#include <cstdint>

// Turns the bytes of an AVI file, held in memory by its importable and only
// borrowed here, into pictures: 24-bit BGR, rows top first, each row padded
// to a multiple of 4 bytes. Keeps exactly one decoded frame.
class AviReaderC {
 public:
  AviReaderC();
  AviReaderC(const AviReaderC&) = delete;
  AviReaderC& operator=(const AviReaderC&) = delete;
  virtual ~AviReaderC();

  // Attaches the file bytes, which must outlive the reader, and builds the
  // index and the decoder. Success shows as get_frame returning pixels.
  void parse(const uint8_t* pData, uint32_t ui32Size);
  // The pixels of frame i32Frame, wrapped into the file's frame count; null
  // when the file cannot be decoded.
  const uint8_t* get_frame(int32_t i32Frame);
  int32_t get_width();
  int32_t get_height();
  int32_t get_bit_depth();
  int32_t get_frame_count();
  float get_fps();
  // The last decoded picture, null before the first.
  const uint8_t* get_data();
};

#endif
