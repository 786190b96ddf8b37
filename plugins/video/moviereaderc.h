#ifndef PLUGINS_VIDEO_MOVIEREADERC_H
#define PLUGINS_VIDEO_MOVIEREADERC_H

#include <cstdint>
#include <memory>

#include "platform/moviedecoderc.h"
#include "plugins/video/videoreaderc.h"

// Turns the bytes of a movie file (MP4, MOV, Matroska, WebM, Ogg), held in
// memory by its importable and only borrowed here, into pictures of its
// first video stream: 32-bit BGRA for sources with alpha, else 24-bit BGR.
// Keeps exactly one decoded frame.
class MovieReaderC : public VideoReaderC {
 public:
  MovieReaderC() = default;
  MovieReaderC(const MovieReaderC&) = delete;
  MovieReaderC& operator=(const MovieReaderC&) = delete;
  ~MovieReaderC() override;

  void parse(const uint8_t* pData, uint32_t ui32Size) override;
  // Whether parse found a container with a video stream it can decode.
  bool has_video() const { return m_pDecoder != nullptr; }
  const uint8_t* get_frame(int32_t i32Frame) override;
  int32_t get_width() override;
  int32_t get_height() override;
  // 32 with alpha, 24 without.
  int32_t get_bit_depth() override;
  int32_t get_frame_count() override;
  float get_fps() override;
  const uint8_t* get_data() override;
  PictureLayoutE get_layout() override;

 private:
  std::unique_ptr<MovieDecoderC> m_pDecoder;
  // From allocate_picture, at the first decode.
  uint8_t* m_pFrameBuffer = nullptr;
  // The frame in the buffer, -1 when there is none.
  int32_t m_i32LastFrame = -1;
};

#endif
