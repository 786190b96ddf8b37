#include "plugins/video/avireaderc.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/videocodec.h"

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
constexpr uint32_t FOURCC_AVIH = fourcc('a', 'v', 'i', 'h');
constexpr uint32_t FOURCC_STRL = fourcc('s', 't', 'r', 'l');
constexpr uint32_t FOURCC_STRH = fourcc('s', 't', 'r', 'h');
constexpr uint32_t FOURCC_STRF = fourcc('s', 't', 'r', 'f');
constexpr uint32_t FOURCC_VIDS = fourcc('v', 'i', 'd', 's');

constexpr uint32_t MAIN_HEADER_SIZE = 56;
constexpr uint32_t STREAM_HEADER_SIZE = 64;
constexpr uint32_t BITMAP_HEADER_SIZE = 40;
constexpr uint32_t IDX1_ENTRY_SIZE = 16;
constexpr uint32_t KEY_FRAME_FLAG = 0x10;
// Larger pictures come only from damaged headers; they would cost hundreds
// of megabytes of frame buffer.
constexpr int32_t MAX_DIMENSION = 8192;
// Pictures a decoder gives without new input; far beyond what any codec
// holds back, it only bounds the loop.
constexpr int32_t MAX_WAITING_PICTURES = 64;
constexpr size_t FRAME_BUFFER_ALIGNMENT = 64;

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void put_le32(uint8_t* p, uint32_t ui32Value) {
  for (int32_t i = 0; i < 4; ++i) {
    p[i] = static_cast<uint8_t>(ui32Value >> (8 * i));
  }
}

// Frame chunks of stream 00: compressed, uncompressed and indeo.
bool is_frame_chunk(uint32_t ui32Id) {
  return ui32Id == fourcc('0', '0', 'd', 'b') || ui32Id == fourcc('0', '0', 'd', 'c') ||
         ui32Id == fourcc('0', '0', 'i', 'v');
}

uint64_t padded(uint32_t ui32Size) {
  return static_cast<uint64_t>(ui32Size) + (ui32Size & 1);
}

}  // namespace

AviReaderC::AviReaderC() = default;

AviReaderC::~AviReaderC() {
  if (m_pDecompressor != nullptr) {
    video_decompressor_end(m_pDecompressor);
    video_decompressor_close(m_pDecompressor);
  }
  std::free(m_pFrameBuffer);
}

bool AviReaderC::read_u32(uint64_t ui64At, uint32_t& rValue) const {
  if (ui64At + 4 > m_ui32DataSize) {
    return false;
  }
  rValue = le32(m_pData + ui64At);
  return true;
}

void AviReaderC::parse(const uint8_t* pData, uint32_t ui32Size) {
  m_pData = pData;
  m_ui32DataSize = pData != nullptr ? ui32Size : 0;
  uint32_t ui32Id = 0;
  if (!read_u32(0, ui32Id) || ui32Id != FOURCC_RIFF) {
    return;
  }
  m_rInputFormat.clear();
  m_rOutputFormat.clear();
  m_rIndex.clear();

  // Top level, without padding to even sizes. Every step moves at least 8
  // bytes on, so the walk ends at the end of the data.
  bool bHeaderListSeen = false;
  bool bIdx1Seen = false;
  uint32_t ui32ChunkSize = 0;
  for (uint64_t ui64Offset = 12; read_u32(ui64Offset, ui32Id) && read_u32(ui64Offset + 4, ui32ChunkSize);
       ui64Offset += 8 + static_cast<uint64_t>(ui32ChunkSize)) {
    const uint64_t ui64End = std::min<uint64_t>(ui64Offset + 8 + ui32ChunkSize, m_ui32DataSize);
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_LIST && read_u32(ui64Offset + 8, ui32Type)) {
      if (ui32Type == FOURCC_MOVI && !m_bMoviSeen) {
        m_bMoviSeen = true;
        m_ui64MoviPosition = ui64Offset;
      } else if (ui32Type == FOURCC_HDRL && !bHeaderListSeen) {
        bHeaderListSeen = true;
        walk_header_list(ui64Offset + 12, ui64End);
        derive_output_format();
      }
    } else if (ui32Id == FOURCC_IDX1 && !bIdx1Seen) {
      bIdx1Seen = true;
      index_from_idx1(ui64Offset + 8, ui64End - std::min(ui64End, ui64Offset + 8));
    }
  }
  if (m_rIndex.empty() && m_bMoviSeen) {
    index_from_movi();
  }
  open_decompressor();
}

template <typename VisitT>
void AviReaderC::for_each_sub_chunk(uint64_t ui64Begin, uint64_t ui64End, VisitT visit) const {
  uint32_t ui32Id = 0;
  uint32_t ui32Size = 0;
  // Every step moves at least 8 bytes on, so the walk ends.
  for (uint64_t ui64Offset = ui64Begin;
       ui64Offset + 8 <= ui64End && read_u32(ui64Offset, ui32Id) && read_u32(ui64Offset + 4, ui32Size);
       ui64Offset += 8 + padded(ui32Size)) {
    const uint64_t ui64Body = ui64Offset + 8;
    visit(ui32Id, ui64Body, std::min(ui64Body + ui32Size, ui64End));
  }
}

void AviReaderC::walk_header_list(uint64_t ui64Begin, uint64_t ui64End) {
  for_each_sub_chunk(ui64Begin, ui64End, [this](uint32_t ui32Id, uint64_t ui64Body, uint64_t ui64BodyEnd) {
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_AVIH) {
      std::memset(m_rMainHeader, 0, sizeof(m_rMainHeader));
      std::memcpy(m_rMainHeader, m_pData + ui64Body, std::min<uint64_t>(MAIN_HEADER_SIZE, ui64BodyEnd - ui64Body));
    } else if (ui32Id == FOURCC_LIST && ui64Body + 4 <= ui64BodyEnd && read_u32(ui64Body, ui32Type) &&
               ui32Type == FOURCC_STRL) {
      walk_stream_list(ui64Body + 4, ui64BodyEnd);
    }
  });
}

void AviReaderC::walk_stream_list(uint64_t ui64Begin, uint64_t ui64End) {
  // Whether this list's "strh" was a video header, so its "strf" is ours.
  bool bVideoHeaderTaken = false;
  for_each_sub_chunk(ui64Begin, ui64End, [&](uint32_t ui32Id, uint64_t ui64Body, uint64_t ui64BodyEnd) {
    uint32_t ui32Type = 0;
    if (ui32Id == FOURCC_STRH) {
      bVideoHeaderTaken = ui64Body + 4 <= ui64BodyEnd && read_u32(ui64Body, ui32Type) && ui32Type == FOURCC_VIDS;
      if (bVideoHeaderTaken) {
        m_bVideoStream = true;
        std::memset(m_rStreamHeader, 0, sizeof(m_rStreamHeader));
        std::memcpy(m_rStreamHeader, m_pData + ui64Body,
                    std::min<uint64_t>(STREAM_HEADER_SIZE, ui64BodyEnd - ui64Body));
      }
    } else if (ui32Id == FOURCC_STRF && bVideoHeaderTaken) {
      m_rInputFormat.assign(m_pData + ui64Body, m_pData + ui64BodyEnd);
      bVideoHeaderTaken = false;
    }
  });
}

void AviReaderC::derive_output_format() {
  m_rOutputFormat.clear();
  if (m_rInputFormat.size() < BITMAP_HEADER_SIZE) {
    return;
  }
  const uint32_t ui32OwnSize = le32(m_rInputFormat.data());
  if (ui32OwnSize < BITMAP_HEADER_SIZE) {
    return;
  }
  m_rOutputFormat.assign(m_rInputFormat.begin(),
                         m_rInputFormat.begin() + std::min<size_t>(ui32OwnSize, m_rInputFormat.size()));
  uint8_t* pFormat = m_rOutputFormat.data();
  const int64_t i64Width = static_cast<int32_t>(le32(pFormat + 4));
  const int64_t i64Height = static_cast<int32_t>(le32(pFormat + 8));
  const uint64_t ui64Rows = static_cast<uint64_t>(i64Height < 0 ? -i64Height : i64Height);
  const uint64_t ui64RowBytes = (static_cast<uint64_t>(i64Width < 0 ? -i64Width : i64Width) * 3 + 3) & ~3ull;
  pFormat[14] = 24;
  pFormat[15] = 0;
  put_le32(pFormat + 16, 0);
  put_le32(pFormat + 20, static_cast<uint32_t>(ui64Rows * ui64RowBytes));
  // Top first whichever way the source was stored.
  put_le32(pFormat + 8, static_cast<uint32_t>(static_cast<int32_t>(i64Height > 0 ? -i64Height : i64Height)));
}

void AviReaderC::index_from_idx1(uint64_t ui64Begin, uint64_t ui64Size) {
  if (!m_bVideoStream) {
    return;
  }
  const uint32_t ui32Capacity = le32(m_rMainHeader + 16);
  const uint64_t ui64Entries = ui64Size / IDX1_ENTRY_SIZE;
  // Sized by the entries the chunk holds, not by a header's frame count alone.
  m_rIndex.reserve(static_cast<size_t>(std::min<uint64_t>(ui64Entries, ui32Capacity)));
  uint64_t ui64Base = 0;
  bool bBaseKnown = false;
  for (uint64_t i = 0; i < ui64Entries && m_rIndex.size() < ui32Capacity; ++i) {
    const uint8_t* pEntry = m_pData + ui64Begin + i * IDX1_ENTRY_SIZE;
    if (!is_frame_chunk(le32(pEntry))) {
      continue;
    }
    const uint32_t ui32Offset = le32(pEntry + 8);
    // Offsets below the movi list are relative to its "movi" type field.
    if (!bBaseKnown) {
      bBaseKnown = true;
      ui64Base = ui32Offset < m_ui64MoviPosition ? m_ui64MoviPosition + 8 : 0;
    }
    add_entry(le32(pEntry + 4), ui64Base + ui32Offset, le32(pEntry + 12));
  }
}

void AviReaderC::index_from_movi() {
  uint32_t ui32ListSize = 0;
  if (!m_bVideoStream || !read_u32(m_ui64MoviPosition + 4, ui32ListSize)) {
    return;
  }
  const uint64_t ui64End = std::min<uint64_t>(m_ui64MoviPosition + 8 + ui32ListSize, m_ui32DataSize);
  const uint32_t ui32Capacity = le32(m_rMainHeader + 16);
  // Every chunk takes at least its 8-byte header.
  m_rIndex.reserve(static_cast<size_t>(std::min<uint64_t>((ui64End - m_ui64MoviPosition) / 8, ui32Capacity)));
  uint32_t ui32Id = 0;
  uint32_t ui32Size = 0;
  // Each step moves at least 8 bytes on, so the scan ends.
  uint64_t ui64Offset = m_ui64MoviPosition + 12;
  while (ui64Offset + 8 <= ui64End && m_rIndex.size() < ui32Capacity && read_u32(ui64Offset, ui32Id) &&
         read_u32(ui64Offset + 4, ui32Size)) {
    uint64_t ui64Step = padded(ui32Size);
    if (ui64Offset + 8 + ui64Step <= m_ui32DataSize) {
      if (ui32Id == FOURCC_LIST) {
        // A record list: step inside, past its type only.
        ui64Step = 4;
      } else if (is_frame_chunk(ui32Id)) {
        add_entry(0, ui64Offset, ui32Size);
      }
    }
    ui64Offset += 8 + ui64Step;
  }
}

void AviReaderC::add_entry(uint32_t ui32Flags, uint64_t ui64Offset, uint32_t ui32Size) {
  IndexEntryC rEntry = {ui32Flags, 0, 0, -1};
  // Frames whose bytes are not all inside the file are never decoded; they
  // bring no new picture.
  if (ui64Offset + 8 + ui32Size <= m_ui32DataSize) {
    rEntry.m_ui32Offset = static_cast<uint32_t>(ui64Offset);
    rEntry.m_ui32Size = ui32Size;
  }
  m_rIndex.push_back(rEntry);
}

void AviReaderC::open_decompressor() {
  const bool bAnyFrame =
      std::any_of(m_rIndex.begin(), m_rIndex.end(), [](const IndexEntryC& rEntry) { return rEntry.m_ui32Size > 0; });
  if (!m_bVideoStream || !bAnyFrame || m_rInputFormat.size() < BITMAP_HEADER_SIZE || m_rOutputFormat.empty()) {
    return;
  }
  const int32_t i32Width = static_cast<int32_t>(le32(m_rInputFormat.data() + 4));
  const int32_t i32Height = static_cast<int32_t>(le32(m_rInputFormat.data() + 8));
  if (i32Width <= 0 || i32Width > MAX_DIMENSION || i32Height == 0 || i32Height < -MAX_DIMENSION ||
      i32Height > MAX_DIMENSION) {
    return;
  }
  m_i32Width = i32Width;
  m_i32Height = i32Height < 0 ? -i32Height : i32Height;
  m_i32BitDepth = m_rInputFormat[14] | (m_rInputFormat[15] << 8);
  m_pDecompressor =
      video_decompressor_locate(le32(m_rStreamHeader + 4), m_rInputFormat.data(),
                                static_cast<uint32_t>(m_rInputFormat.size()), m_rOutputFormat.data(),
                                static_cast<uint32_t>(m_rOutputFormat.size()));
  if (m_pDecompressor == nullptr) {
    return;
  }
  video_decompressor_begin(m_pDecompressor);
  m_bIntraOnly = video_decompressor_intra_only(m_pDecompressor);
  // Without B-frames every frame's picture is shown in the frame's own place.
  if (!video_decompressor_holds_back(m_pDecompressor)) {
    for (size_t i = 0; i < m_rIndex.size(); ++i) {
      m_rIndex[i].m_i32Display = static_cast<int32_t>(i);
    }
  }
}

const uint8_t* AviReaderC::get_frame(int32_t i32Frame) {
  const int32_t i32Count = get_frame_count();
  if (m_pDecompressor == nullptr || i32Count <= 0) {
    return nullptr;
  }
  int32_t i32Display = i32Frame % i32Count;
  if (i32Display < 0) {
    i32Display += i32Count;
  }
  // Frames the header counts but the index lacks show the last indexed one.
  const int32_t i32Indexed = static_cast<int32_t>(m_rIndex.size());
  if (i32Display >= i32Indexed) {
    i32Display = i32Indexed - 1;
  }
  if (i32Display == m_i32LastFrame) {
    return m_pFrameBuffer;
  }
  if (m_pFrameBuffer == nullptr) {
    const size_t uiSize = static_cast<size_t>(m_i32Height) * ((static_cast<size_t>(m_i32Width) * 3 + 3) & ~size_t(3));
    const size_t uiAllocated = (uiSize + VIDEO_OUTPUT_PADDING + FRAME_BUFFER_ALIGNMENT - 1) /
                               FRAME_BUFFER_ALIGNMENT * FRAME_BUFFER_ALIGNMENT;
    m_pFrameBuffer = static_cast<uint8_t*>(std::aligned_alloc(FRAME_BUFFER_ALIGNMENT, uiAllocated));
    if (m_pFrameBuffer == nullptr) {
      return nullptr;
    }
    std::memset(m_pFrameBuffer, 0, uiAllocated);
  }
  decode_to(i32Display);
  m_i32LastFrame = i32Display;
  return m_pFrameBuffer;
}

bool AviReaderC::is_restart_point(int32_t i32Entry, int32_t i32Display) const {
  const IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i32Entry)];
  return rEntry.m_ui32Size > 0 && (m_bIntraOnly || (rEntry.m_ui32Flags & KEY_FRAME_FLAG) != 0) &&
         rEntry.m_i32Display >= 0 && rEntry.m_i32Display <= i32Display;
}

void AviReaderC::decode_to(int32_t i32Display) {
  const int32_t i32Indexed = static_cast<int32_t>(m_rIndex.size());
  // The session has passed the picture: start again at the nearest earlier
  // key frame. A key frame that is itself the picture asked for is decoded
  // alone, also forwards; other key frames on the way are not skipped to.
  if (m_i32NewestDisplay >= i32Display ||
      (i32Display > m_i32NewestDisplay + 1 && is_restart_point(i32Display, i32Display) &&
       m_rIndex[static_cast<size_t>(i32Display)].m_i32Display == i32Display)) {
    restart(i32Display);
  }
  // Each pass hands in one frame or ends the stream, so the loop ends.
  for (;;) {
    if (take_waiting(i32Display)) {
      return;
    }
    if (m_i32NextEntry < i32Indexed) {
      if (feed(m_i32NextEntry++, i32Display)) {
        return;
      }
    } else if (!m_bFinished) {
      video_decompressor_finish(m_pDecompressor);
      m_bFinished = true;
    } else {
      break;
    }
  }
  // The stream ended before that picture came: show the newest there is.
  video_decompressor_convert(m_pDecompressor, m_pFrameBuffer);
}

void AviReaderC::restart(int32_t i32Display) {
  int32_t i32Start = 0;
  for (int32_t i = std::min(i32Display, static_cast<int32_t>(m_rIndex.size()) - 1); i > 0; --i) {
    if (is_restart_point(i, i32Display)) {
      i32Start = i;
      break;
    }
  }
  video_decompressor_end(m_pDecompressor);
  video_decompressor_begin(m_pDecompressor);
  m_i32NextEntry = i32Start;
  m_i32NewestDisplay = i32Start == 0 ? -1 : m_rIndex[static_cast<size_t>(i32Start)].m_i32Display - 1;
  m_bFinished = false;
}

bool AviReaderC::feed(int32_t i32Entry, int32_t i32Display) {
  const IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i32Entry)];
  int64_t i64Tag = -1;
  int32_t i32Result = VIDEO_DECOMPRESS_ERROR;
  if (rEntry.m_ui32Size > 0) {
    i32Result = video_decompressor_decompress(m_pDecompressor, VIDEO_DECOMPRESS_PREROLL,
                                              m_pData + rEntry.m_ui32Offset + 8, rEntry.m_ui32Size, i32Entry,
                                              m_pFrameBuffer, &i64Tag);
  }
  if (i32Result == VIDEO_DECOMPRESS_PICTURE) {
    return reached(i64Tag, i32Display);
  }
  // An empty or refused frame keeps the picture before it in its place.
  if (i32Result == VIDEO_DECOMPRESS_ERROR) {
    return reached(i32Entry, i32Display);
  }
  return false;
}

bool AviReaderC::take_waiting(int32_t i32Display) {
  for (int32_t i = 0; i < MAX_WAITING_PICTURES; ++i) {
    int64_t i64Tag = -1;
    if (video_decompressor_take(m_pDecompressor, VIDEO_DECOMPRESS_PREROLL, m_pFrameBuffer, &i64Tag) !=
        VIDEO_DECOMPRESS_PICTURE) {
      return false;
    }
    if (reached(i64Tag, i32Display)) {
      return true;
    }
  }
  return false;
}

bool AviReaderC::reached(int64_t i64Tag, int32_t i32Display) {
  // Pictures come out in display order: one from a frame not yet placed
  // follows the newest one.
  int32_t i32Shown = m_i32NewestDisplay + 1;
  if (i64Tag >= 0 && i64Tag < static_cast<int64_t>(m_rIndex.size())) {
    IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i64Tag)];
    if (rEntry.m_i32Display < 0) {
      rEntry.m_i32Display = i32Shown;
    }
    i32Shown = rEntry.m_i32Display;
  }
  m_i32NewestDisplay = std::max(m_i32NewestDisplay, i32Shown);
  if (i32Shown < i32Display) {
    return false;
  }
  video_decompressor_convert(m_pDecompressor, m_pFrameBuffer);
  return true;
}

int32_t AviReaderC::get_width() {
  return m_i32Width;
}

int32_t AviReaderC::get_height() {
  return m_i32Height;
}

int32_t AviReaderC::get_bit_depth() {
  return m_i32BitDepth;
}

int32_t AviReaderC::get_frame_count() {
  return static_cast<int32_t>(std::min<uint32_t>(le32(m_rMainHeader + 16), INT32_MAX));
}

float AviReaderC::get_fps() {
  const uint32_t ui32Scale = le32(m_rStreamHeader + 20);
  if (ui32Scale == 0) {
    return 0.0f;
  }
  return static_cast<float>(static_cast<double>(le32(m_rStreamHeader + 24)) / static_cast<double>(ui32Scale));
}

const uint8_t* AviReaderC::get_data() {
  return m_pFrameBuffer;
}
