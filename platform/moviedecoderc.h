#ifndef PLATFORM_MOVIEDECODERC_H
#define PLATFORM_MOVIEDECODERC_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/pictureconverterc.h"
#include "platform/pictureturn.h"

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
class PictureFilterC;

// The pictures of the first video stream of a container file (MP4, MOV,
// 3GP, Matroska, WebM, Ogg) held in memory, through libavformat and libavcodec.
// The bytes are only borrowed: libavformat reads them where they lie.
//
// Frame n is the picture on screen at n / the frame rate, counted from the
// stream's first picture, with the rate chosen as libavformat guesses it;
// the frames cover the whole span of the pictures. Opening reads every
// packet header of the stream once, so that frame numbers, the frame count
// and the key frames to seek to are known exactly.
//
// No OpenGL and no shared state: a decoder may run on any thread, one thread
// at a time.
class MovieDecoderC {
 public:
  // Null when libavformat cannot open the bytes as one of those containers,
  // or finds no video stream with a decoder and a sensible picture size;
  // then *pProblem, if given, says which in a few words.
  static MovieDecoderC* open(const uint8_t* pData, uint32_t ui32Size, std::string* pProblem = nullptr);
  MovieDecoderC(const MovieDecoderC&) = delete;
  MovieDecoderC& operator=(const MovieDecoderC&) = delete;
  ~MovieDecoderC();

  // The picture as it is displayed: turned upright as the container's
  // display matrix says, and stretched to its sample aspect ratio (wider,
  // or taller where the samples are narrow, never smaller).
  int32_t get_width() const { return m_i32Width; }
  int32_t get_height() const { return m_i32Height; }
  // Frames at the frame rate over the span of the pictures, not the
  // pictures: where they are unevenly spaced or dropped, frames show the
  // picture on screen at their time.
  int32_t get_frame_count() const { return m_i32FrameCount; }
  double get_fps() const { return m_f64Fps; }
  // Every picture comes in this layout, with or without transparency.
  static constexpr PictureLayoutE LAYOUT = PICTURE_RGBA32;
  // Whether the pictures carry transparency.
  bool has_alpha() const { return m_bAlpha; }

  // Decodes frame i32Frame (0 to the frame count - 1) into pOut as 32-bit
  // RGBA, opaque sources with an alpha of 255; pOut holds
  // picture_stride(width, LAYOUT) × height bytes and PICTURE_PADDING
  // more. The frame after the one decoded last decodes forward, normally one
  // picture; the frame decoded last is converted again without decoding;
  // any other seeks to the key frame at or before it and decodes forward.
  // False, with pOut unchanged, when no picture could be decoded.
  bool decode_frame(int32_t i32Frame, uint8_t* pOut);

  // Packets handed to the decoder and seeks, since the decoder was opened:
  // what a caller's requests cost.
  uint64_t get_packets_decoded() const { return m_ui64PacketsDecoded; }
  uint64_t get_seeks() const { return m_ui64Seeks; }

 private:
  struct MemoryStreamC {
    const uint8_t* m_pData;
    uint64_t m_ui64Size;
    uint64_t m_ui64Position;
  };
  struct KeyFrameC {
    int64_t m_i64Pts;
    // Where to seek for it: not later than its pts or its dts, since
    // demuxers index by either.
    int64_t m_i64SeekTime;
  };

  MovieDecoderC() = default;
  static int read_memory(void* pOpaque, uint8_t* pBuffer, int iSize);
  static int64_t seek_memory(void* pOpaque, int64_t i64Offset, int iWhence);
  bool open_container(const uint8_t* pData, uint32_t ui32Size);
  bool open_codec();
  bool index_pictures();
  // What stopped open, for the one line a user is told.
  std::string m_sProblem;
  void choose_frame_rate();
  void count_frames();
  // Decodes the first picture: whether the pictures have alpha, and their
  // size where the container did not say; false when that size is unknown.
  bool read_first_picture();
  // The displayed size and turn, from the picture's own size.
  void choose_geometry(int32_t i32PictureWidth, int32_t i32PictureHeight);
  // The key frame with the latest pts not after the target, or null.
  const KeyFrameC* key_frame_before(int64_t i64Target) const;
  size_t picture_for_frame(int32_t i32Frame) const;
  bool continues_to(int64_t i64Target) const;
  void seek_before(int64_t i64Target);
  bool decode_until(int64_t i64Target);
  int32_t receive_picture();
  // Sends the next packet of the stream; false at the end of the stream.
  bool feed_packet();

  MemoryStreamC m_rStream = {nullptr, 0, 0};
  AVIOContext* m_pIo = nullptr;
  AVFormatContext* m_pFormat = nullptr;
  AVCodecContext* m_pCodec = nullptr;
  AVPacket* m_pPacket = nullptr;
  AVFrame* m_pDecoded = nullptr;
  // The picture decoded last, kept so that it can be converted again.
  AVFrame* m_pPicture = nullptr;
  std::unique_ptr<PictureFilterC> m_pFilter;
  std::unique_ptr<PictureConverterC> m_pConverter;

  int32_t m_i32StreamIndex = -1;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  // The picture stretched to its aspect, before it is turned upright, and
  // its rows while it is turned.
  int32_t m_i32UnturnedWidth = 0;
  int32_t m_i32UnturnedHeight = 0;
  PictureTurnS m_rTurn;
  uint8_t* m_pUnturned = nullptr;
  bool m_bAlpha = false;
  bool m_bAlphaBeside = false;
  double m_f64Fps = 0.0;
  // The average frame rate as a fraction and the stream's time base, for
  // exact frame times.
  int64_t m_i64FpsNum = 0;
  int64_t m_i64FpsDen = 1;
  int64_t m_i64TimeBaseNum = 1;
  int64_t m_i64TimeBaseDen = 1;

  // Timestamps of the pictures in display order, and the key frames by pts.
  std::vector<int64_t> m_rPictureTimes;
  std::vector<KeyFrameC> m_rKeyFrames;
  // The last picture in display order, and how long it is shown (0 when
  // the container does not say).
  int64_t m_i64LastPictureTime = 0;
  int64_t m_i64LastPictureDuration = 0;
  int32_t m_i32FrameCount = 0;

  // The decoding position: whether reading goes on from where the last
  // picture came, whether a key frame was handed in since the last seek,
  // whether the end of the stream was sent, and the pts of m_pPicture.
  bool m_bPositioned = false;
  bool m_bKeySeen = false;
  bool m_bDraining = false;
  bool m_bHasPicture = false;
  int64_t m_i64PictureTime = 0;

  uint64_t m_ui64PacketsDecoded = 0;
  uint64_t m_ui64Seeks = 0;
};

#endif
