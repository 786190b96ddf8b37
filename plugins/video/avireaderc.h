#ifndef PLUGINS_VIDEO_AVIREADERC_H
#define PLUGINS_VIDEO_AVIREADERC_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugins/video/aviindexc.h"
#include "plugins/video/videoreaderc.h"

class VideoDecompressorC;

// Turns the bytes of an AVI file, held in memory by its importable and only
// borrowed here, into pictures: 24-bit BGR, rows top first, each row padded
// to a multiple of 4 bytes. Keeps exactly one decoded frame.
class AviReaderC : public VideoReaderC {
 public:
  AviReaderC();
  AviReaderC(const AviReaderC&) = delete;
  AviReaderC& operator=(const AviReaderC&) = delete;
  ~AviReaderC() override;

  // Attaches the file bytes, which must outlive the reader, and builds the
  // index and the decoder. Success shows as get_frame returning pixels.
  void parse(const uint8_t* pData, uint32_t ui32Size) override;
  // The pixels of frame i32Frame, wrapped into the frame count; null
  // when the file cannot be decoded or no picture has decoded yet. A jump
  // in either direction decodes from the nearest key frame before the
  // frame, unless playing on from
  // the picture shown is shorter. Frame n is the picture of the video
  // stream's n-th frame chunk (in display order, with B-frames), after the
  // frames the stream header says it starts late by; a chunk that brings no
  // new picture shows the one before it, and the frames before the first
  // show the first.
  const uint8_t* get_frame(int32_t i32Frame) override;
  int32_t get_width() override;
  int32_t get_height() override;
  int32_t get_bit_depth() override;
  // The frames the file holds, whatever its headers claim, after its start.
  int32_t get_frame_count() override;
  float get_fps() override;
  // The last decoded picture, null before the first.
  const uint8_t* get_data() override;
  // 24-bit BGR always.
  PictureLayoutE get_layout() override;

 private:
  using IndexEntryC = AviIndexC::FrameC;

  void derive_output_format();
  void open_decompressor();
  // What open_decompressor lacked, for get_problem.
  std::string find_problem(const AviIndexC& rFile) const;

  // Where the picture of rank i32Rank (in display order among all the
  // stream's pictures) is shown, and back. Frames with a picture are decode
  // times; a picture is due at the decode time of the picture as many
  // ranks later as reordering holds back, less the same delay at the start.
  int64_t decode_time(int64_t i64Index) const;
  int32_t place_of_rank(int32_t i32Rank) const;
  int32_t rank_of_place(int32_t i32Place) const;

  bool is_restart_point(int32_t i32Entry, int32_t i32Display) const;
  int32_t display_of(int32_t i32Entry) const;
  // Whether a key frame before the picture lies beyond the next frame to
  // hand in.
  bool restart_point_ahead(int32_t i32Display) const;
  void decode_to(int32_t i32Display);
  void restart(int32_t i32Display);
  bool feed(int32_t i32Entry, int32_t i32Display);
  bool take_waiting(int32_t i32Display);
  bool reached(int64_t i64Tag, int32_t i32Display);
  // Converts the last picture taken, or the one before it, into the frame buffer.
  void show(bool bPrevious);
  void apply_palette_changes(int32_t i32Entry);

  const uint8_t* m_pData = nullptr;
  uint32_t m_ui32DataSize = 0;

  uint8_t m_rStreamHeader[AviIndexC::STREAM_HEADER_SIZE] = {};
  std::vector<uint8_t> m_rInputFormat;
  std::vector<uint8_t> m_rOutputFormat;
  std::vector<IndexEntryC> m_rIndex;
  std::vector<AviIndexC::PaletteChangeC> m_rPaletteChanges;
  // The entries that hold a picture, in file order.
  std::vector<int32_t> m_rPictureEntries;
  // Frames of nothing before the first, from the stream header.
  int32_t m_i32StartFrames = 0;

  VideoDecompressorC* m_pDecompressor = nullptr;
  // From allocate_picture, aligned for the converter's fast paths; taken
  // when the first picture decodes.
  uint8_t* m_pFrameBuffer = nullptr;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  int32_t m_i32BitDepth = 0;
  int32_t m_i32LastFrame = -1;
  bool m_bIntraOnly = false;

  // The decoding session: the next entry to hand in, the newest display
  // position it has produced, and whether the end of the stream was sent.
  int32_t m_i32NextEntry = 0;
  int32_t m_i32NewestDisplay = -1;
  bool m_bFinished = false;
  // Where the last picture taken and the one before it stand, -1 for none.
  int32_t m_i32PictureDisplay = -1;
  int32_t m_i32PreviousDisplay = -1;
  // Whether a B-picture has come out: pictures are then placed in the
  // order they come, not by their frames.
  bool m_bReorders = false;
  // The pictures reordering holds back, taken when it is first seen.
  int32_t m_i32ReorderDepth = 0;
  // The rank of the next picture to come out.
  int32_t m_i32NextRank = 0;
  // The first palette change not yet handed to the decoder.
  size_t m_uiNextPaletteChange = 0;
};

#endif
