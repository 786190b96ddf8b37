#ifndef PLUGINS_VIDEO_AVIINDEXC_H
#define PLUGINS_VIDEO_AVIINDEXC_H

#include <cstdint>
#include <vector>

// What an AVI file holds for its video stream, found by walking its RIFF
// structure in memory: the headers, the stream format, one entry per frame
// and the palette changes. The video stream is the first one whose header
// says "vids"; its number gives the ids of its chunks. Frames come from the
// OpenDML indexes where the stream has them, else from "idx1" (and a scan of
// the parts it does not cover), else from a scan of every "movi" list of
// every RIFF part. Every number read from the file is checked against the
// bytes present before it is used.
class AviIndexC {
 public:
  static constexpr uint32_t STREAM_HEADER_SIZE = 64;
  static constexpr uint32_t KEY_FRAME_FLAG = 0x10;

  // 16 bytes a frame, however large the file.
  struct FrameC {
    uint32_t m_ui32Flags;
    // From the start of the file bytes to the chunk's 8-byte header.
    uint32_t m_ui32Offset;
    // 0 for frames that bring no new picture, and for entries that point
    // outside the file bytes or at another chunk.
    uint32_t m_ui32Size;
    // Where the frame's picture stands in display order, -1 while unknown;
    // kept here for the decoder, so that a frame costs one entry.
    int32_t m_i32Display;
  };

  // A palette change chunk's body, applying from frame m_ui32Frame on.
  struct PaletteChangeC {
    uint32_t m_ui32Frame;
    uint32_t m_ui32Offset;
    uint32_t m_ui32Size;
  };

  // Walks the file bytes, which are only borrowed here.
  void build(const uint8_t* pData, uint32_t ui32Size);

  bool has_video_stream() const { return m_bVideoStream; }
  const uint8_t* stream_header() const { return m_rStreamHeader; }
  const std::vector<uint8_t>& input_format() const { return m_rInputFormat; }
  std::vector<FrameC>& frames() { return m_rFrames; }
  const std::vector<PaletteChangeC>& palette_changes() const { return m_rPaletteChanges; }

 private:
  struct ListC {
    uint64_t m_ui64Begin;
    uint64_t m_ui64End;
  };

  bool read_u32(uint64_t ui64At, uint32_t& rValue) const;
  uint64_t next_chunk(uint64_t ui64Offset, uint32_t ui32Size) const;
  uint64_t list_end(uint64_t ui64Offset, uint32_t ui32Size, uint64_t ui64Limit) const;
  template <typename VisitT>
  void for_each_chunk(uint64_t ui64Begin, uint64_t ui64End, VisitT visit) const;

  void walk_top_level();
  void walk_avix_part(uint64_t ui64Begin, uint64_t ui64End);
  void walk_header_list(uint64_t ui64Begin, uint64_t ui64End);
  void walk_stream_list(uint64_t ui64Begin, uint64_t ui64End, uint32_t ui32Stream);
  void take_stream_digits(uint32_t ui32Stream, uint32_t ui32Streams);

  bool is_our_stream(uint32_t ui32Digits) const;
  bool is_frame_chunk(uint32_t ui32Id) const;
  bool is_palette_chunk(uint32_t ui32Id) const;

  void index_from_odml();
  void read_standard_index(uint64_t ui64Begin, uint64_t ui64End);
  void index_from_idx1();
  bool locate_idx1_chunk(const uint8_t* pEntry, uint64_t& rBase, uint64_t& rOtherBase, uint32_t& rSize) const;
  bool idx1_chunk_is_at(const uint8_t* pEntry, uint64_t ui64Base, bool bSizeToo, uint32_t& rSize) const;
  void scan_movi(const ListC& rMovi);
  void add_frame(uint32_t ui32Flags, uint64_t ui64Offset, uint32_t ui32Size);
  void add_palette_change(uint64_t ui64Offset, uint32_t ui32Size);

  const uint8_t* m_pData = nullptr;
  uint32_t m_ui32DataSize = 0;

  uint8_t m_rStreamHeader[STREAM_HEADER_SIZE] = {};
  std::vector<uint8_t> m_rInputFormat;
  bool m_bVideoStream = false;
  // The video stream's two digits, as the low half of its chunk ids: in
  // decimal, and in hexadecimal (either case) as some writers put numbers
  // from 10 on, 0 where that would read as another stream's.
  uint32_t m_ui32StreamDigits = 0;
  uint32_t m_rHexDigits[2] = {};
  bool m_bHeaderListSeen = false;
  // The video stream's "indx" body, empty when it has none.
  ListC m_rSuperIndex = {0, 0};
  ListC m_rIdx1 = {0, 0};
  bool m_bIdx1Seen = false;
  // The chunks of every "movi" list, of the first RIFF and of the AVIX parts.
  std::vector<ListC> m_rMovi;
  std::vector<ListC> m_rAvixMovi;
  // The first "movi" list's header, which relative idx1 offsets count from.
  uint64_t m_ui64MoviPosition = 0;

  std::vector<FrameC> m_rFrames;
  std::vector<PaletteChangeC> m_rPaletteChanges;
};

#endif
