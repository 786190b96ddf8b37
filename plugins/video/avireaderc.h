#ifndef PLUGINS_VIDEO_AVIREADERC_H
#define PLUGINS_VIDEO_AVIREADERC_H

#include <cstdint>
#include <vector>

class VideoDecompressorC;

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

 private:
  struct IndexEntryC {
    uint32_t m_ui32Flags;
    // From the start of the file bytes to the chunk's 8-byte header.
    uint32_t m_ui32Offset;
    // 0 for frames that bring no new picture, and for entries that point
    // outside the file bytes.
    uint32_t m_ui32Size;
    // Where the frame's picture stands in display order, -1 until a decode
    // has shown it; differs from the entry's own number with B-frames.
    int32_t m_i32Display;
  };

  bool read_u32(uint64_t ui64At, uint32_t& rValue) const;
  // Calls visit(id, body, body end) for each chunk of a list's body; the
  // body end is clipped to the list's end.
  template <typename VisitT>
  void for_each_sub_chunk(uint64_t ui64Begin, uint64_t ui64End, VisitT visit) const;
  void walk_header_list(uint64_t ui64Begin, uint64_t ui64End);
  void walk_stream_list(uint64_t ui64Begin, uint64_t ui64End);
  void derive_output_format();
  void index_from_idx1(uint64_t ui64Begin, uint64_t ui64Size);
  void index_from_movi();
  void add_entry(uint32_t ui32Flags, uint64_t ui64Offset, uint32_t ui32Size);
  void open_decompressor();

  bool is_restart_point(int32_t i32Entry, int32_t i32Display) const;
  void decode_to(int32_t i32Display);
  void restart(int32_t i32Display);
  bool feed(int32_t i32Entry, int32_t i32Display);
  bool take_waiting(int32_t i32Display);
  bool reached(int64_t i64Tag, int32_t i32Display);

  const uint8_t* m_pData = nullptr;
  uint32_t m_ui32DataSize = 0;

  uint8_t m_rMainHeader[56] = {};
  uint8_t m_rStreamHeader[64] = {};
  std::vector<uint8_t> m_rInputFormat;
  std::vector<uint8_t> m_rOutputFormat;
  bool m_bVideoStream = false;
  uint64_t m_ui64MoviPosition = 0;
  bool m_bMoviSeen = false;

  std::vector<IndexEntryC> m_rIndex;

  VideoDecompressorC* m_pDecompressor = nullptr;
  // Aligned for the converter's fast paths; freed with std::free.
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
};

#endif
