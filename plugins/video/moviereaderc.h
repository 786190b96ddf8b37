#ifndef PLUGINS_VIDEO_MOVIEREADERC_H
#define PLUGINS_VIDEO_MOVIEREADERC_H

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/moviedecoderc.h"
#include "plugins/video/framereadaheadc.h"
#include "plugins/video/videoreaderc.h"

// Turns the bytes of a movie file (MP4, MOV, Matroska, WebM, Ogg), held in
// memory by its importable and only borrowed here, into pictures of its
// first video stream, as 32-bit RGBA whether the source has alpha or not.
// Keeps the frame decoded last, and decodes the frame most likely shown next
// on a worker thread (FrameReadAheadC) while the caller draws.
//
// Effects that show one movie at different times ask for frames far apart
// in turn: each such run of requests gets a decoding position of its own (a
// decoder and its read-ahead), so that none of them seeks every frame. A
// request goes to the position that shows its frame or lies a few frames
// from it; a jump goes to the position used longest ago, or opens another
// when every position is in use; positions left unused for a while close.
class MovieReaderC : public VideoReaderC {
 public:
  MovieReaderC() = default;
  MovieReaderC(const MovieReaderC&) = delete;
  MovieReaderC& operator=(const MovieReaderC&) = delete;
  ~MovieReaderC() override = default;

  void parse(const uint8_t* pData, uint32_t ui32Size) override;
  // Whether parse found a container with a video stream it can decode.
  bool has_video() const { return !m_rPositions.empty(); }
  const uint8_t* get_frame(int32_t i32Frame) override;
  int32_t get_width() override;
  int32_t get_height() override;
  // The source's: 32 with alpha, 24 without.
  int32_t get_bit_depth() override;
  int32_t get_frame_count() override;
  float get_fps() override;
  const uint8_t* get_data() override;
  PictureLayoutE get_layout() override;

  // The decoding positions open now, and the seeks all of them made.
  size_t get_position_count() const { return m_rPositions.size(); }
  uint64_t get_seeks() const;

 private:
  struct PositionC {
    std::unique_ptr<MovieDecoderC> m_pDecoder;
    // Made at the first request; declared after the decoder, so that its
    // worker has stopped before the decoder goes.
    std::unique_ptr<FrameReadAheadC> m_pReadAhead;
    int32_t m_i32Shown = -1;
    uint64_t m_ui64LastRequest = 0;
  };

  const MovieDecoderC& first_decoder() const { return *m_rPositions.front()->m_pDecoder; }
  PositionC& position_for(int32_t i32Frame);
  void close_unused_positions();

  // Never empty after a successful parse; every decoder in it tells the
  // same size, rate and frame count.
  std::vector<std::unique_ptr<PositionC>> m_rPositions;
  PositionC* m_pLast = nullptr;
  uint64_t m_ui64Requests = 0;
};

#endif
