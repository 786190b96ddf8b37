#ifndef PLUGINS_VIDEO_MOVIEREADERC_H
#define PLUGINS_VIDEO_MOVIEREADERC_H

#include <cstdint>
#include <memory>

#include "platform/moviedecoderc.h"
#include "plugins/video/framereadaheadc.h"
#include "plugins/video/videoreaderc.h"

// Turns the bytes of a movie file (MP4, MOV, Matroska, WebM, Ogg), held in
// memory by its importable and only borrowed here, into pictures of its
// first video stream, as 32-bit RGBA whether the source has alpha or not.
// Keeps the frame decoded last, and decodes the frame most likely shown next
// on a worker thread (FrameReadAheadC) while the caller draws.
class MovieReaderC : public VideoReaderC {
 public:
  MovieReaderC() = default;
  MovieReaderC(const MovieReaderC&) = delete;
  MovieReaderC& operator=(const MovieReaderC&) = delete;
  ~MovieReaderC() override = default;

  void parse(const uint8_t* pData, uint32_t ui32Size) override;
  // Whether parse found a container with a video stream it can decode.
  bool has_video() const { return m_pDecoder != nullptr; }
  const uint8_t* get_frame(int32_t i32Frame) override;
  int32_t get_width() override;
  int32_t get_height() override;
  // The source's: 32 with alpha, 24 without.
  int32_t get_bit_depth() override;
  int32_t get_frame_count() override;
  float get_fps() override;
  const uint8_t* get_data() override;
  PictureLayoutE get_layout() override;

 private:
  std::unique_ptr<MovieDecoderC> m_pDecoder;
  // Made at the first request; declared after the decoder, so that its
  // worker has stopped before the decoder goes.
  std::unique_ptr<FrameReadAheadC> m_pReadAhead;
};

#endif
