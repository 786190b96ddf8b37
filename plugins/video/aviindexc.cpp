#include "plugins/video/aviindexc.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/littleendian.h"

namespace {

constexpr uint32_t fourcc(char c0, char c1, char c2, char c3) {
  return static_cast<uint32_t>(static_cast<uint8_t>(c0)) | (static_cast<uint32_t>(static_cast<uint8_t>(c1)) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c2)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c3)) << 24);
}

constexpr uint32_t FOURCC_RIFF = fourcc('R', 'I', 'F', 'F');
constexpr uint32_t FOURCC_LIST = fourcc('L', 'I', 'S', 'T');
constexpr uint32_t FOURCC_HDRL = fourcc('h', 'd', 'r', 'l');
constexpr uint32_t FOURCC_MOVI = fourcc('m', 'o', 'v', 'i');
constexpr uint32_t FOURCC_IDX1 = fourcc('i', 'd', 'x', '1');
constexpr uint32_t FOURCC_STRL = fourcc('s', 't', 'r', 'l');
constexpr uint32_t FOURCC_STRH = fourcc('s', 't', 'r', 'h');
constexpr uint32_t FOURCC_STRF = fourcc('s', 't', 'r', 'f');
constexpr uint32_t FOURCC_INDX = fourcc('i', 'n', 'd', 'x');
constexpr uint32_t FOURCC_VIDS = fourcc('v', 'i', 'd', 's');
constexpr uint32_t FOURCC_AVIX = fourcc('A', 'V', 'I', 'X');
// The high halves of a stream's chunk ids: compressed, uncompressed and
// indeo frames, and palette changes.
constexpr uint32_t CHUNK_DB = fourcc(0, 0, 'd', 'b');
constexpr uint32_t CHUNK_DC = fourcc(0, 0, 'd', 'c');
constexpr uint32_t CHUNK_IV = fourcc(0, 0, 'i', 'v');
constexpr uint32_t CHUNK_PC = fourcc(0, 0, 'p', 'c');

// Chunk ids carry two digits for the stream number.
constexpr uint32_t MAX_STREAMS = 100;
constexpr uint32_t IDX1_ENTRY_SIZE = 16;
// The OpenDML index header: entry size in uint32s, sub type, index type,
// entries in use, chunk id, then 12 bytes (a standard index's base offset
// and a reserved uint32; a super index's reserved words).
constexpr uint32_t ODML_HEADER_SIZE = 24;
constexpr uint8_t ODML_INDEX_OF_INDEXES = 0;
constexpr uint8_t ODML_INDEX_OF_CHUNKS = 1;
constexpr uint32_t ODML_SUPER_ENTRY_SIZE = 16;
constexpr uint32_t ODML_CHUNK_ENTRY_SIZE = 8;
// Set in a standard index entry's size for a frame that is not a key frame.
constexpr uint32_t ODML_DELTA_FRAME = 0x80000000u;

uint32_t two_digits(uint32_t ui32Stream, uint32_t ui32Base, char cTen) {
  const auto digit = [cTen](uint32_t ui32Digit) {
    return ui32Digit < 10 ? '0' + ui32Digit : static_cast<uint32_t>(cTen) + ui32Digit - 10;
  };
  return digit(ui32Stream / ui32Base) | (digit(ui32Stream % ui32Base) << 8);
}

bool is_id_character(uint8_t ui8Byte) {
  return (ui8Byte >= '0' && ui8Byte <= '9') || (ui8Byte >= 'A' && ui8Byte <= 'Z') ||
         (ui8Byte >= 'a' && ui8Byte <= 'z') || ui8Byte == ' ';
}

}  // namespace

bool AviIndexC::read_u32(uint64_t ui64At, uint32_t& rValue) const {
  if (ui64At + 4 > m_ui32DataSize) {
    return false;
  }
  rValue = read_le32(m_pData + ui64At);
  return true;
}

// RIFF pads chunks of odd size with a zero byte. Some writers do not: where
// a chunk id rather than a zero follows the body, the next chunk is there.
uint64_t AviIndexC::next_chunk(uint64_t ui64Offset, uint32_t ui32Size) const {
  const uint64_t ui64Unpadded = ui64Offset + 8 + ui32Size;
  if ((ui32Size & 1) == 0) {
    return ui64Unpadded;
  }
  if (ui64Unpadded + 4 <= m_ui32DataSize && m_pData[ui64Unpadded] != 0) {
    const uint8_t* pNext = m_pData + ui64Unpadded;
    if (std::all_of(pNext, pNext + 4, is_id_character)) {
      return ui64Unpadded;
    }
  }
  return ui64Unpadded + 1;
}

// A list of size 0 (never finished) or one that runs past ui64Limit takes
// everything up to ui64Limit.
uint64_t AviIndexC::list_end(uint64_t ui64Offset, uint32_t ui32Size, uint64_t ui64Limit) const {
  const uint64_t ui64End = ui64Offset + 8 + ui32Size;
  return ui32Size == 0 || ui64End > ui64Limit ? ui64Limit : ui64End;
}

// Calls visit(id, offset, body, body end) for each chunk whose header lies
// inside [ui64Begin, ui64End); the body end is clipped to ui64End. Every
// step moves at least 8 bytes on, so the walk ends.
template <typename VisitT>
void AviIndexC::for_each_chunk(uint64_t ui64Begin, uint64_t ui64End, VisitT visit) const {
  uint32_t ui32Id = 0;
  uint32_t ui32Size = 0;
  for (uint64_t ui64Offset = ui64Begin;
       ui64Offset + 8 <= ui64End && read_u32(ui64Offset, ui32Id) && read_u32(ui64Offset + 4, ui32Size);
       ui64Offset = next_chunk(ui64Offset, ui32Size)) {
    const uint64_t ui64Body = ui64Offset + 8;
    if (!visit(ui32Id, ui32Size, ui64Offset, ui64Body, std::min(ui64Body + ui32Size, ui64End))) {
      return;
    }
  }
}

void AviIndexC::build(const uint8_t* pData, uint32_t ui32Size) {
  m_pData = pData;
  m_ui32DataSize = pData != nullptr ? ui32Size : 0;
  uint32_t ui32Id = 0;
  if (!read_u32(0, ui32Id) || ui32Id != FOURCC_RIFF) {
    return;
  }
  walk_top_level();
  if (!m_bVideoStream) {
    return;
  }
  // Each way in turn, while none has found a frame with a picture.
  const auto no_pictures = [this]() {
    return std::none_of(m_rFrames.begin(), m_rFrames.end(), [](const FrameC& rFrame) { return rFrame.m_ui32Size > 0; });
  };
  index_from_odml();
  if (no_pictures()) {
    m_rFrames.clear();
    index_from_idx1();
  }
  if (no_pictures()) {
    m_rFrames.clear();
    m_rPaletteChanges.clear();
    for (const ListC& rMovi : m_rMovi) {
      scan_movi(rMovi);
    }
    for (const ListC& rMovi : m_rAvixMovi) {
      scan_movi(rMovi);
    }
  }
  // Growth may have left room for up to as many entries again.
  m_rFrames.shrink_to_fit();
}

// The first RIFF's chunks, and after them the "AVIX" parts as RIFF chunks
// of their own. A "movi" list that never got its size takes the rest.
void AviIndexC::walk_top_level() {
  for_each_chunk(12, m_ui32DataSize, [this](uint32_t ui32Id, uint32_t ui32Size, uint64_t ui64Offset,
                                            uint64_t ui64Body, uint64_t) {
    const uint64_t ui64End = list_end(ui64Offset, ui32Size, m_ui32DataSize);
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_LIST && read_u32(ui64Body, ui32Type)) {
      if (ui32Type == FOURCC_MOVI) {
        if (m_rMovi.empty()) {
          m_ui64MoviPosition = ui64Offset;
        }
        m_rMovi.push_back({ui64Body + 4, ui64End});
        return ui64End != m_ui32DataSize;
      }
      if (ui32Type == FOURCC_HDRL && !m_bHeaderListSeen) {
        m_bHeaderListSeen = true;
        walk_header_list(ui64Body + 4, ui64End);
      }
    } else if (ui32Id == FOURCC_IDX1 && !m_bIdx1Seen) {
      m_bIdx1Seen = true;
      m_rIdx1 = {ui64Body, std::min<uint64_t>(ui64Body + ui32Size, m_ui32DataSize)};
    } else if (ui32Id == FOURCC_RIFF && read_u32(ui64Body, ui32Type) && ui32Type == FOURCC_AVIX) {
      walk_avix_part(ui64Body + 4, ui64End);
      return ui64End != m_ui32DataSize;
    }
    return true;
  });
}

void AviIndexC::walk_avix_part(uint64_t ui64Begin, uint64_t ui64End) {
  for_each_chunk(ui64Begin, ui64End, [&](uint32_t ui32Id, uint32_t ui32Size, uint64_t ui64Offset,
                                         uint64_t ui64Body, uint64_t) {
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_LIST && read_u32(ui64Body, ui32Type) && ui32Type == FOURCC_MOVI) {
      const uint64_t ui64MoviEnd = list_end(ui64Offset, ui32Size, ui64End);
      m_rAvixMovi.push_back({ui64Body + 4, ui64MoviEnd});
      return ui64MoviEnd != ui64End;
    }
    return true;
  });
}

void AviIndexC::walk_header_list(uint64_t ui64Begin, uint64_t ui64End) {
  uint32_t ui32Stream = 0;
  uint32_t ui32Video = 0;
  for_each_chunk(ui64Begin, ui64End, [&](uint32_t ui32Id, uint32_t, uint64_t, uint64_t ui64Body,
                                         uint64_t ui64BodyEnd) {
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_LIST && ui64Body + 4 <= ui64BodyEnd && read_u32(ui64Body, ui32Type) &&
               ui32Type == FOURCC_STRL) {
      const bool bVideoBefore = m_bVideoStream;
      walk_stream_list(ui64Body + 4, ui64BodyEnd, ui32Stream);
      ui32Video = m_bVideoStream && !bVideoBefore ? ui32Stream : ui32Video;
      ++ui32Stream;
    }
    return true;
  });
  if (m_bVideoStream) {
    take_stream_digits(ui32Video, ui32Stream);
  }
}

void AviIndexC::take_stream_digits(uint32_t ui32Stream, uint32_t ui32Streams) {
  m_ui32StreamDigits = two_digits(ui32Stream, 10, 'A');
  const uint32_t ui32HexUpper = two_digits(ui32Stream, 16, 'A');
  const uint32_t ui32HexLower = two_digits(ui32Stream, 16, 'a');
  // Below 10 the forms agree; "10" in hexadecimal is stream 10's in decimal.
  const bool bOtherStream =
      ui32Stream >= 16 && ui32Stream % 16 < 10 && ui32Stream / 16 * 10 + ui32Stream % 16 < ui32Streams;
  if (ui32HexUpper != m_ui32StreamDigits && !bOtherStream) {
    m_rHexDigits[0] = ui32HexUpper;
    m_rHexDigits[1] = ui32HexLower;
  }
}

void AviIndexC::walk_stream_list(uint64_t ui64Begin, uint64_t ui64End, uint32_t ui32Stream) {
  // Whether this list's "strh" made it the video stream, so that its other
  // chunks are ours.
  bool bOurs = false;
  for_each_chunk(ui64Begin, ui64End, [&](uint32_t ui32Id, uint32_t, uint64_t, uint64_t ui64Body,
                                         uint64_t ui64BodyEnd) {
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_STRH && !m_bVideoStream && ui32Stream < MAX_STREAMS && ui64Body + 4 <= ui64BodyEnd &&
        read_u32(ui64Body, ui32Type) && ui32Type == FOURCC_VIDS) {
      bOurs = true;
      m_bVideoStream = true;
      std::memcpy(m_rStreamHeader, m_pData + ui64Body,
                  std::min<uint64_t>(STREAM_HEADER_SIZE, ui64BodyEnd - ui64Body));
    } else if (ui32Id == FOURCC_STRF && bOurs && m_rInputFormat.empty()) {
      m_rInputFormat.assign(m_pData + ui64Body, m_pData + ui64BodyEnd);
    } else if (ui32Id == FOURCC_INDX && bOurs && m_rSuperIndex.m_ui64End == 0) {
      m_rSuperIndex = {ui64Body, ui64BodyEnd};
    }
    return true;
  });
}

bool AviIndexC::is_our_stream(uint32_t ui32Digits) const {
  return ui32Digits == m_ui32StreamDigits ||
         (m_rHexDigits[0] != 0 && (ui32Digits == m_rHexDigits[0] || ui32Digits == m_rHexDigits[1]));
}

bool AviIndexC::is_frame_chunk(uint32_t ui32Id) const {
  const uint32_t ui32Kind = ui32Id & 0xFFFF0000u;
  return is_our_stream(ui32Id & 0xFFFFu) &&
         (ui32Kind == CHUNK_DB || ui32Kind == CHUNK_DC || ui32Kind == CHUNK_IV);
}

bool AviIndexC::is_palette_chunk(uint32_t ui32Id) const {
  return (ui32Id & 0xFFFF0000u) == CHUNK_PC && is_our_stream(ui32Id & 0xFFFFu);
}

// The super index names one standard index per RIFF part. Each must start
// past the end of the one before, so no byte of an index is read twice and
// the frames found never outnumber the index bytes present.
void AviIndexC::index_from_odml() {
  const uint64_t ui64Begin = m_rSuperIndex.m_ui64Begin;
  const uint64_t ui64End = m_rSuperIndex.m_ui64End;
  if (ui64Begin + ODML_HEADER_SIZE > ui64End) {
    return;
  }
  const uint8_t* pHeader = m_pData + ui64Begin;
  if (pHeader[3] == ODML_INDEX_OF_CHUNKS) {
    read_standard_index(ui64Begin, ui64End);
    return;
  }
  const uint64_t ui64Stride = 4 * static_cast<uint64_t>(read_le16(pHeader));
  if (pHeader[3] != ODML_INDEX_OF_INDEXES || ui64Stride < ODML_SUPER_ENTRY_SIZE) {
    return;
  }
  const uint64_t ui64Entries = std::min<uint64_t>(read_le32(pHeader + 4), (ui64End - ui64Begin - ODML_HEADER_SIZE) / ui64Stride);
  uint64_t ui64NextFree = 0;
  for (uint64_t i = 0; i < ui64Entries; ++i) {
    const uint64_t ui64Chunk = read_le64(pHeader + ODML_HEADER_SIZE + i * ui64Stride);
    uint32_t ui32Size = 0;
    if (ui64Chunk < ui64NextFree || ui64Chunk > m_ui32DataSize || !read_u32(ui64Chunk + 4, ui32Size)) {
      continue;
    }
    const uint64_t ui64ChunkEnd = std::min<uint64_t>(ui64Chunk + 8 + ui32Size, m_ui32DataSize);
    read_standard_index(ui64Chunk + 8, ui64ChunkEnd);
    ui64NextFree = ui64ChunkEnd;
  }
}

void AviIndexC::read_standard_index(uint64_t ui64Begin, uint64_t ui64End) {
  if (ui64Begin + ODML_HEADER_SIZE > ui64End) {
    return;
  }
  const uint8_t* pHeader = m_pData + ui64Begin;
  const uint64_t ui64Stride = 4 * static_cast<uint64_t>(read_le16(pHeader));
  const uint64_t ui64Base = read_le64(pHeader + 12);
  // The base is checked before anything is added to it.
  if (pHeader[3] != ODML_INDEX_OF_CHUNKS || ui64Stride < ODML_CHUNK_ENTRY_SIZE ||
      !is_frame_chunk(read_le32(pHeader + 8)) || ui64Base >= m_ui32DataSize) {
    return;
  }
  const uint64_t ui64Entries = std::min<uint64_t>(read_le32(pHeader + 4), (ui64End - ui64Begin - ODML_HEADER_SIZE) / ui64Stride);
  for (uint64_t i = 0; i < ui64Entries; ++i) {
    const uint8_t* pEntry = pHeader + ODML_HEADER_SIZE + i * ui64Stride;
    const uint32_t ui32Size = read_le32(pEntry + 4);
    // Entries point at the frame's data, just after its chunk header.
    const uint64_t ui64Data = ui64Base + read_le32(pEntry);
    uint32_t ui32Id = 0;
    const bool bChunkThere = ui64Data >= 8 && read_u32(ui64Data - 8, ui32Id) && is_frame_chunk(ui32Id);
    add_frame((ui32Size & ODML_DELTA_FRAME) != 0 ? 0 : KEY_FRAME_FLAG, ui64Data - 8,
              bChunkThere ? ui32Size & ~ODML_DELTA_FRAME : 0);
  }
}

// idx1 offsets count from the start of the file or from the first "movi"
// list's type. The first entry's offset suggests which; each entry is
// checked against the chunk header it points at, in either reading, and a
// frame that matches in neither brings no picture.
void AviIndexC::index_from_idx1() {
  if (!m_bIdx1Seen) {
    return;
  }
  uint64_t ui64Base = 0;
  uint64_t ui64OtherBase = 0;
  bool bBaseGuessed = false;
  for (uint64_t ui64Entry = m_rIdx1.m_ui64Begin; ui64Entry + IDX1_ENTRY_SIZE <= m_rIdx1.m_ui64End;
       ui64Entry += IDX1_ENTRY_SIZE) {
    const uint8_t* pEntry = m_pData + ui64Entry;
    const bool bFrame = is_frame_chunk(read_le32(pEntry));
    if (!bFrame && !is_palette_chunk(read_le32(pEntry))) {
      continue;
    }
    const uint32_t ui32Offset = read_le32(pEntry + 8);
    if (!bBaseGuessed) {
      bBaseGuessed = true;
      ui64Base = ui32Offset < m_ui64MoviPosition ? m_ui64MoviPosition + 8 : 0;
      ui64OtherBase = ui64Base == 0 ? m_ui64MoviPosition + 8 : 0;
    }
    uint32_t ui32Size = 0;
    const bool bFound = locate_idx1_chunk(pEntry, ui64Base, ui64OtherBase, ui32Size);
    if (bFrame) {
      add_frame(read_le32(pEntry + 4), ui64Base + ui32Offset, bFound ? ui32Size : 0);
    } else if (bFound) {
      add_palette_change(ui64Base + ui32Offset + 8, ui32Size);
    }
  }
  // Parts after the first RIFF are not in idx1.
  if (!m_rFrames.empty()) {
    for (const ListC& rMovi : m_rAvixMovi) {
      scan_movi(rMovi);
    }
  }
}

// Tries the base that served last, then the other, first for a chunk of the
// entry's id and size, then of its id alone; the base that matched serves
// next. rSize is the size the chunk's own header gives.
bool AviIndexC::locate_idx1_chunk(const uint8_t* pEntry, uint64_t& rBase, uint64_t& rOtherBase,
                                  uint32_t& rSize) const {
  for (const bool bSizeToo : {true, false}) {
    if (idx1_chunk_is_at(pEntry, rBase, bSizeToo, rSize)) {
      return true;
    }
    if (idx1_chunk_is_at(pEntry, rOtherBase, bSizeToo, rSize)) {
      std::swap(rBase, rOtherBase);
      return true;
    }
  }
  return false;
}

bool AviIndexC::idx1_chunk_is_at(const uint8_t* pEntry, uint64_t ui64Base, bool bSizeToo, uint32_t& rSize) const {
  const uint64_t ui64At = ui64Base + read_le32(pEntry + 8);
  uint32_t ui32Id = 0;
  return read_u32(ui64At, ui32Id) && ui32Id == read_le32(pEntry) && read_u32(ui64At + 4, rSize) &&
         (!bSizeToo || rSize == read_le32(pEntry + 12));
}

// Chunk by chunk to the list's end; record lists are stepped into. A chunk
// cut off by the end of the data ends the scan.
void AviIndexC::scan_movi(const ListC& rMovi) {
  uint32_t ui32Id = 0;
  uint32_t ui32Size = 0;
  uint64_t ui64Offset = rMovi.m_ui64Begin;
  while (ui64Offset + 8 <= rMovi.m_ui64End && read_u32(ui64Offset, ui32Id) && read_u32(ui64Offset + 4, ui32Size) &&
         ui64Offset + 8 + ui32Size <= m_ui32DataSize) {
    if (ui32Id == FOURCC_LIST) {
      ui64Offset += 12;
      continue;
    }
    if (is_frame_chunk(ui32Id)) {
      add_frame(0, ui64Offset, ui32Size);
    } else if (is_palette_chunk(ui32Id)) {
      add_palette_change(ui64Offset + 8, ui32Size);
    }
    ui64Offset = next_chunk(ui64Offset, ui32Size);
  }
}

void AviIndexC::add_frame(uint32_t ui32Flags, uint64_t ui64Offset, uint32_t ui32Size) {
  FrameC rFrame = {ui32Flags, 0, 0, -1};
  // Frames whose bytes are not all inside the file are never decoded; they
  // bring no new picture.
  if (ui32Size > 0 && ui64Offset + 8 + ui32Size <= m_ui32DataSize) {
    rFrame.m_ui32Offset = static_cast<uint32_t>(ui64Offset);
    rFrame.m_ui32Size = ui32Size;
  }
  m_rFrames.push_back(rFrame);
}

void AviIndexC::add_palette_change(uint64_t ui64Body, uint32_t ui32Size) {
  if (ui64Body + ui32Size <= m_ui32DataSize) {
    m_rPaletteChanges.push_back(
        {static_cast<uint32_t>(m_rFrames.size()), static_cast<uint32_t>(ui64Body), ui32Size});
  }
}
