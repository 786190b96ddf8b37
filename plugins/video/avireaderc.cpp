#include "plugins/video/avireaderc.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/littleendian.h"
#include "platform/picturesize.h"
#include "platform/videocodec.h"

namespace {

constexpr uint32_t KEY_FRAME_FLAG = AviIndexC::KEY_FRAME_FLAG;
// A palette change: first entry, entry count (0 for 256), flags, entries.
constexpr uint32_t PALETTE_CHANGE_HEADER_SIZE = 4;
// Pictures a decoder gives without new input; far beyond what any codec
// holds back, it only bounds the loop.
constexpr int32_t MAX_WAITING_PICTURES = 64;
// A stream header's start beyond this (ten minutes at 25 frames a second
// and far more at lower rates: 2^14 frames) is taken as damage.
constexpr uint32_t MAX_START_FRAMES = 1u << 14;

// Four printable characters in quotes, else the number.
std::string fourcc_text(uint32_t ui32Code) {
  std::string sText;
  for (int32_t i = 0; i < 4; ++i) {
    const char c = static_cast<char>(ui32Code >> (8 * i));
    if (c < 0x20 || c > 0x7e) {
      return std::to_string(ui32Code);
    }
    sText += c;
  }
  return "\"" + sText + "\"";
}

}  // namespace

AviReaderC::AviReaderC() = default;

AviReaderC::~AviReaderC() {
  if (m_pDecompressor != nullptr) {
    video_decompressor_end(m_pDecompressor);
    video_decompressor_close(m_pDecompressor);
  }
  free_picture(m_pFrameBuffer);
}

void AviReaderC::parse(const uint8_t* pData, uint32_t ui32Size) {
  m_pData = pData;
  m_ui32DataSize = pData != nullptr ? ui32Size : 0;
  AviIndexC rFile;
  rFile.build(m_pData, m_ui32DataSize);
  std::memcpy(m_rStreamHeader, rFile.stream_header(), sizeof(m_rStreamHeader));
  m_rInputFormat = rFile.input_format();
  m_rIndex = std::move(rFile.frames());
  m_rPaletteChanges = rFile.palette_changes();
  for (size_t i = 0; i < m_rIndex.size(); ++i) {
    if (m_rIndex[i].m_ui32Size > 0) {
      m_rPictureEntries.push_back(static_cast<int32_t>(i));
    }
  }
  const uint32_t ui32Start = read_le32(m_rStreamHeader + 28);
  m_i32StartFrames = ui32Start <= MAX_START_FRAMES ? static_cast<int32_t>(ui32Start) : 0;
  derive_output_format();
  open_decompressor();
  m_sProblem = m_pDecompressor != nullptr ? std::string() : find_problem(rFile);
}

std::string AviReaderC::find_problem(const AviIndexC& rFile) const {
  if (m_ui32DataSize < 12 || std::memcmp(m_pData, "RIFF", 4) != 0 || std::memcmp(m_pData + 8, "AVI ", 4) != 0) {
    return "not an AVI file";
  }
  if (!rFile.has_video_stream()) {
    return "no video stream";
  }
  if (m_rOutputFormat.empty()) {
    return "damaged: the video stream has no format";
  }
  if (std::none_of(m_rIndex.begin(), m_rIndex.end(), [](const IndexEntryC& rEntry) { return rEntry.m_ui32Size > 0; })) {
    return "damaged: the video stream has no frames";
  }
  if (m_i32Width == 0) {
    return "damaged: a picture size of " + std::to_string(static_cast<int32_t>(read_le32(m_rInputFormat.data() + 4))) +
           " x " + std::to_string(static_cast<int32_t>(read_le32(m_rInputFormat.data() + 8)));
  }
  return "no decoder for the codec " + fourcc_text(read_le32(m_rInputFormat.data() + 16)) + " (handler " +
         fourcc_text(read_le32(m_rStreamHeader + 4)) + ")";
}

void AviReaderC::derive_output_format() {
  m_rOutputFormat.clear();
  if (m_rInputFormat.size() < BITMAP_HEADER_SIZE) {
    return;
  }
  const uint32_t ui32OwnSize = read_le32(m_rInputFormat.data());
  if (ui32OwnSize < BITMAP_HEADER_SIZE) {
    return;
  }
  m_rOutputFormat.assign(m_rInputFormat.begin(),
                         m_rInputFormat.begin() + std::min<size_t>(ui32OwnSize, m_rInputFormat.size()));
  uint8_t* pFormat = m_rOutputFormat.data();
  const int64_t i64Width = static_cast<int32_t>(read_le32(pFormat + 4));
  const int64_t i64Height = static_cast<int32_t>(read_le32(pFormat + 8));
  const uint64_t ui64Rows = static_cast<uint64_t>(i64Height < 0 ? -i64Height : i64Height);
  const uint64_t ui64RowBytes = (static_cast<uint64_t>(i64Width < 0 ? -i64Width : i64Width) * 3 + 3) & ~3ull;
  pFormat[14] = 24;
  pFormat[15] = 0;
  write_le32(pFormat + 16, 0);
  write_le32(pFormat + 20, static_cast<uint32_t>(ui64Rows * ui64RowBytes));
  // Top first whichever way the source was stored.
  write_le32(pFormat + 8, static_cast<uint32_t>(static_cast<int32_t>(i64Height > 0 ? -i64Height : i64Height)));
}

void AviReaderC::open_decompressor() {
  const bool bAnyFrame =
      std::any_of(m_rIndex.begin(), m_rIndex.end(), [](const IndexEntryC& rEntry) { return rEntry.m_ui32Size > 0; });
  if (!bAnyFrame || m_rInputFormat.size() < BITMAP_HEADER_SIZE || m_rOutputFormat.empty()) {
    return;
  }
  const int32_t i32Width = static_cast<int32_t>(read_le32(m_rInputFormat.data() + 4));
  const int32_t i32Height = static_cast<int32_t>(read_le32(m_rInputFormat.data() + 8));
  if (i32Width <= 0 || i32Width > MAX_VIDEO_SIDE || i32Height == 0 || i32Height < -MAX_VIDEO_SIDE ||
      i32Height > MAX_VIDEO_SIDE) {
    return;
  }
  m_i32Width = i32Width;
  m_i32Height = i32Height < 0 ? -i32Height : i32Height;
  m_i32BitDepth = read_le16(m_rInputFormat.data() + 14);
  m_pDecompressor =
      video_decompressor_locate(read_le32(m_rStreamHeader + 4), m_rInputFormat.data(),
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
  const int32_t i32Display = std::max(0, wrap_frame(i32Frame, i32Count) - m_i32StartFrames);
  if (i32Display == m_i32LastFrame) {
    return m_pFrameBuffer;
  }
  // Whether and how far the stream reorders shows in its first picture:
  // known before a jump picks where to start.
  if (m_i32NewestDisplay < 0 && !m_bReorders && i32Display > 0 && video_decompressor_holds_back(m_pDecompressor)) {
    decode_to(0);
  }
  decode_to(i32Display);
  m_i32LastFrame = i32Display;
  return m_pFrameBuffer;
}

int64_t AviReaderC::decode_time(int64_t i64Index) const {
  const int64_t i64Last = static_cast<int64_t>(m_rPictureEntries.size()) - 1;
  return i64Index <= i64Last ? m_rPictureEntries[static_cast<size_t>(i64Index)]
                             : m_rPictureEntries.back() + (i64Index - i64Last);
}

int32_t AviReaderC::place_of_rank(int32_t i32Rank) const {
  return static_cast<int32_t>(decode_time(int64_t{i32Rank} + m_i32ReorderDepth) -
                              (decode_time(m_i32ReorderDepth) - decode_time(0)));
}

// The rank of the picture shown at i32Place, or of the first after it.
int32_t AviReaderC::rank_of_place(int32_t i32Place) const {
  const int64_t i64Time = int64_t{i32Place} + decode_time(m_i32ReorderDepth) - decode_time(0);
  const int64_t i64Last = static_cast<int64_t>(m_rPictureEntries.size()) - 1;
  const int64_t i64Index =
      i64Time > m_rPictureEntries.back()
          ? i64Last + (i64Time - m_rPictureEntries.back())
          : std::lower_bound(m_rPictureEntries.begin(), m_rPictureEntries.end(), i64Time) - m_rPictureEntries.begin();
  return static_cast<int32_t>(std::max<int64_t>(0, i64Index - m_i32ReorderDepth));
}

bool AviReaderC::is_restart_point(int32_t i32Entry, int32_t i32Display) const {
  const IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i32Entry)];
  const int32_t i32Shown = display_of(i32Entry);
  return rEntry.m_ui32Size > 0 && (m_bIntraOnly || (rEntry.m_ui32Flags & KEY_FRAME_FLAG) != 0) && i32Shown >= 0 &&
         i32Shown <= i32Display;
}

// Until the stream shows that it reorders, pictures stand in their own
// frame's place, also those not decoded yet.
int32_t AviReaderC::display_of(int32_t i32Entry) const {
  const int32_t i32Display = m_rIndex[static_cast<size_t>(i32Entry)].m_i32Display;
  return i32Display >= 0 || m_bReorders ? i32Display : i32Entry;
}

void AviReaderC::decode_to(int32_t i32Display) {
  const int32_t i32Indexed = static_cast<int32_t>(m_rIndex.size());
  // The last two pictures taken are still there, and so are the frames in
  // the gap between them, which show the earlier one.
  if (i32Display == m_i32PictureDisplay) {
    show(false);
    return;
  }
  if (m_i32PreviousDisplay >= 0 && m_i32PreviousDisplay < i32Display && i32Display < m_i32PictureDisplay) {
    show(true);
    return;
  }
  // The session has passed the picture, or a key frame lies between the
  // next frame to hand in and the picture: start again at the nearest key
  // frame before it, so that a jump ahead costs at most the key frame's
  // group of frames.
  if (m_i32NewestDisplay >= i32Display ||
      (i32Display > m_i32NewestDisplay + 1 && restart_point_ahead(i32Display))) {
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
  show(false);
}

// Looks only at the frames the session would otherwise hand in, so that
// playing on costs nothing and a jump no more than decoding would.
bool AviReaderC::restart_point_ahead(int32_t i32Display) const {
  for (int32_t i = std::min(i32Display, static_cast<int32_t>(m_rIndex.size()) - 1); i > m_i32NextEntry; --i) {
    if (is_restart_point(i, i32Display)) {
      return true;
    }
  }
  return false;
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
  // The session starts from the format's palette: the changes before the
  // start frame make it that frame's palette.
  m_uiNextPaletteChange = 0;
  apply_palette_changes(i32Start);
  m_i32NextEntry = i32Start;
  m_i32NewestDisplay = i32Start == 0 ? -1 : display_of(i32Start) - 1;
  m_i32NextRank = i32Start == 0 ? 0 : rank_of_place(display_of(i32Start));
  m_i32PictureDisplay = -1;
  m_i32PreviousDisplay = -1;
  m_bFinished = false;
}

bool AviReaderC::feed(int32_t i32Entry, int32_t i32Display) {
  apply_palette_changes(i32Entry);
  const IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i32Entry)];
  int64_t i64Tag = -1;
  int32_t i32Result = VIDEO_DECOMPRESS_NO_PICTURE;
  if (rEntry.m_ui32Size > 0) {
    i32Result = video_decompressor_decompress(m_pDecompressor, VIDEO_DECOMPRESS_PREROLL,
                                              m_pData + rEntry.m_ui32Offset + 8, rEntry.m_ui32Size, i32Entry,
                                              m_pFrameBuffer, &i64Tag);
  }
  // A frame that gives no picture (an empty chunk, one coded as "not
  // changed", one the decoder refused) shows as a gap before the next.
  return i32Result == VIDEO_DECOMPRESS_PICTURE && reached(i64Tag, i32Display);
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
  int32_t i32Shown = m_i32NewestDisplay + 1;
  if (i64Tag >= 0 && i64Tag < static_cast<int64_t>(m_rIndex.size())) {
    IndexEntryC& rEntry = m_rIndex[static_cast<size_t>(i64Tag)];
    // Pictures come out in display order. Until a B-picture or the
    // decoder's reorder depth shows that the stream reorders, each stands
    // in its own frame's place, so a frame that gave none leaves a gap;
    // after that each stands where its rank puts it, so gaps stay where the
    // writer left them.
    if (!m_bReorders &&
        (video_decompressor_b_picture(m_pDecompressor) || video_decompressor_reorder_depth(m_pDecompressor) > 0)) {
      m_bReorders = true;
      m_i32ReorderDepth = std::min(video_decompressor_reorder_depth(m_pDecompressor), MAX_WAITING_PICTURES);
    }
    if (rEntry.m_i32Display < 0) {
      rEntry.m_i32Display = std::max(i32Shown, m_bReorders ? place_of_rank(m_i32NextRank) : static_cast<int32_t>(i64Tag));
    }
    i32Shown = rEntry.m_i32Display;
    m_i32NextRank = rank_of_place(i32Shown) + 1;
    // Learnt here, for later backward jumps.
    if (video_decompressor_key_picture(m_pDecompressor)) {
      rEntry.m_ui32Flags |= KEY_FRAME_FLAG;
    }
  }
  m_i32NewestDisplay = std::max(m_i32NewestDisplay, i32Shown);
  m_i32PreviousDisplay = m_i32PictureDisplay;
  m_i32PictureDisplay = i32Shown;
  if (i32Shown < i32Display) {
    return false;
  }
  // Past the picture asked for: that frame gave none, the one before shows.
  show(i32Shown > i32Display);
  return true;
}

// The picture memory comes with the first picture that decodes, so that a
// header's size alone never claims it.
void AviReaderC::show(bool bPrevious) {
  if (m_pFrameBuffer == nullptr) {
    m_pFrameBuffer = allocate_picture(m_i32Width, m_i32Height, PICTURE_BGR24);
    if (m_pFrameBuffer == nullptr) {
      return;
    }
  }
  if (bPrevious) {
    video_decompressor_convert_previous(m_pDecompressor, m_pFrameBuffer);
  } else {
    video_decompressor_convert(m_pDecompressor, m_pFrameBuffer);
  }
}

void AviReaderC::apply_palette_changes(int32_t i32Entry) {
  for (; m_uiNextPaletteChange < m_rPaletteChanges.size() &&
         m_rPaletteChanges[m_uiNextPaletteChange].m_ui32Frame <= static_cast<uint32_t>(i32Entry);
       ++m_uiNextPaletteChange) {
    const AviIndexC::PaletteChangeC& rChange = m_rPaletteChanges[m_uiNextPaletteChange];
    if (rChange.m_ui32Size < PALETTE_CHANGE_HEADER_SIZE) {
      continue;
    }
    const uint8_t* pChange = m_pData + rChange.m_ui32Offset;
    const uint32_t ui32Count = std::min<uint32_t>(pChange[1] == 0 ? 256 : pChange[1],
                                                  (rChange.m_ui32Size - PALETTE_CHANGE_HEADER_SIZE) / 4);
    video_decompressor_change_palette(m_pDecompressor, pChange[0], ui32Count,
                                      pChange + PALETTE_CHANGE_HEADER_SIZE);
  }
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
  return m_rIndex.empty() ? 0 : static_cast<int32_t>(m_rIndex.size()) + m_i32StartFrames;
}

float AviReaderC::get_fps() {
  const uint32_t ui32Scale = read_le32(m_rStreamHeader + 20);
  if (ui32Scale == 0) {
    return 0.0f;
  }
  return static_cast<float>(static_cast<double>(read_le32(m_rStreamHeader + 24)) / static_cast<double>(ui32Scale));
}

const uint8_t* AviReaderC::get_data() {
  return m_pFrameBuffer;
}

PictureLayoutE AviReaderC::get_layout() {
  return PICTURE_BGR24;
}
