#include "platform/videocodec.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/codecsettings.h"
#include "platform/decoderthreads.h"
#include "platform/littleendian.h"
#include "platform/picturesize.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

#include "platform/pictureconverterc.h"

namespace {

// BI_RGB: uncompressed rows, bottom-up unless the height is negative.
constexpr uint32_t COMPRESSION_RGB = 0;

VideoDecodeCountsC g_rCounts = {0, 0};

struct BitmapHeaderC {
  uint32_t m_ui32Size;
  int32_t m_i32Width;
  int32_t m_i32Height;
  uint16_t m_ui16BitCount;
  uint32_t m_ui32Compression;
};

bool read_bitmap_header(const uint8_t* p, uint32_t ui32Size, BitmapHeaderC& rHeader) {
  if (p == nullptr || ui32Size < BITMAP_HEADER_SIZE) {
    return false;
  }
  rHeader.m_ui32Size = read_le32(p);
  rHeader.m_i32Width = static_cast<int32_t>(read_le32(p + 4));
  rHeader.m_i32Height = static_cast<int32_t>(read_le32(p + 8));
  rHeader.m_ui16BitCount = read_le16(p + 14);
  rHeader.m_ui32Compression = read_le32(p + 16);
  return rHeader.m_ui32Size >= BITMAP_HEADER_SIZE && rHeader.m_i32Width > 0 && rHeader.m_i32Width <= MAX_VIDEO_SIDE &&
         rHeader.m_i32Height != 0 && rHeader.m_i32Height >= -MAX_VIDEO_SIDE && rHeader.m_i32Height <= MAX_VIDEO_SIDE;
}

}  // namespace

class VideoDecompressorC {
 public:
  ~VideoDecompressorC() {
    av_frame_free(&m_pPicture);
    av_frame_free(&m_pPrevious);
    av_frame_free(&m_pDecoded);
    av_packet_free(&m_pPacket);
    avcodec_free_context(&m_pCodec);
  }

  bool open(const AVCodec* pCodec, uint32_t ui32Tag, const BitmapHeaderC& rInput, const uint8_t* pInputFormat,
            uint32_t ui32InputSize, const BitmapHeaderC& rOutput);
  int32_t take(uint32_t ui32Flags, uint8_t* pOut, int64_t* pi64Tag);
  bool convert(uint8_t* pOut, bool bPrevious = false);

  AVCodecContext* m_pCodec = nullptr;
  AVPacket* m_pPacket = nullptr;
  AVFrame* m_pDecoded = nullptr;
  // The last picture taken, kept so that it can still be converted.
  AVFrame* m_pPicture = nullptr;
  bool m_bHasPicture = false;
  // The picture taken before it, for a frame that turns out to have none.
  AVFrame* m_pPrevious = nullptr;
  bool m_bHasPrevious = false;
  bool m_bIntraOnly = false;
  bool m_bHoldsBack = true;
  // Palettes of 8-bit-or-less formats go to the decoder with the first frame
  // of each session and after each change; a session starts from the format's.
  uint32_t m_rFormatPalette[AVPALETTE_COUNT] = {};
  uint32_t m_rPalette[AVPALETTE_COUNT] = {};
  bool m_bHasPalette = false;
  bool m_bSendPalette = false;

  std::unique_ptr<PictureConverterC> m_pConverter;
};

bool VideoDecompressorC::open(const AVCodec* pCodec, uint32_t ui32Tag, const BitmapHeaderC& rInput,
                              const uint8_t* pInputFormat, uint32_t ui32InputSize, const BitmapHeaderC& rOutput) {
  m_pCodec = avcodec_alloc_context3(pCodec);
  m_pPacket = av_packet_alloc();
  m_pDecoded = av_frame_alloc();
  m_pPicture = av_frame_alloc();
  m_pPrevious = av_frame_alloc();
  if (m_pCodec == nullptr || m_pPacket == nullptr || m_pDecoded == nullptr || m_pPicture == nullptr ||
      m_pPrevious == nullptr) {
    return false;
  }
  m_pCodec->width = rInput.m_i32Width;
  m_pCodec->height = rInput.m_i32Height < 0 ? -rInput.m_i32Height : rInput.m_i32Height;
  m_pCodec->bits_per_coded_sample = rInput.m_ui16BitCount;
  m_pCodec->codec_tag = ui32Tag;
  decoder_threads_configure(m_pCodec);
  // Pictures that a damaged frame claims to be huge are refused, not allocated.
  m_pCodec->max_pixels = int64_t{MAX_VIDEO_SIDE} * MAX_VIDEO_SIDE;

  // Codec data follows the 40-byte header. Raw rows stored bottom-up are
  // marked the way the raw decoder knows, so that it turns them upright.
  const uint32_t ui32ExtraSize = ui32InputSize - BITMAP_HEADER_SIZE;
  const bool bBottomUp =
      pCodec->id == AV_CODEC_ID_RAWVIDEO && ui32Tag == COMPRESSION_RGB && rInput.m_i32Height > 0;
  static const char BOTTOM_UP[] = "BottomUp";
  const uint32_t ui32MarkSize = bBottomUp ? sizeof(BOTTOM_UP) : 0;
  if (ui32ExtraSize + ui32MarkSize > 0) {
    const size_t uiSize = static_cast<size_t>(ui32ExtraSize) + ui32MarkSize;
    m_pCodec->extradata = static_cast<uint8_t*>(av_mallocz(uiSize + AV_INPUT_BUFFER_PADDING_SIZE));
    if (m_pCodec->extradata == nullptr) {
      return false;
    }
    std::memcpy(m_pCodec->extradata, pInputFormat + BITMAP_HEADER_SIZE, ui32ExtraSize);
    std::memcpy(m_pCodec->extradata + ui32ExtraSize, BOTTOM_UP, ui32MarkSize);
    m_pCodec->extradata_size = static_cast<int>(uiSize);
  }
  // The colour table ends the codec data; entries are blue, green, red, unused.
  if (rInput.m_ui16BitCount >= 1 && rInput.m_ui16BitCount <= 8 && ui32ExtraSize > 0) {
    const uint32_t ui32TableSize = std::min<uint32_t>(ui32ExtraSize, 4u << rInput.m_ui16BitCount);
    const uint8_t* pTable = pInputFormat + ui32InputSize - ui32TableSize;
    const uint32_t ui32Entries = ui32TableSize / 4;
    for (uint32_t i = 0; i < ui32Entries; ++i) {
      m_rFormatPalette[i] = 0xFF000000u | read_le32(pTable + i * 4);
    }
    m_bHasPalette = ui32Entries > 0;
  }
  if (avcodec_open2(m_pCodec, pCodec, nullptr) < 0) {
    return false;
  }

  const AVCodecDescriptor* pDescriptor = avcodec_descriptor_get(pCodec->id);
  m_bIntraOnly = pDescriptor != nullptr && (pDescriptor->props & AV_CODEC_PROP_INTRA_ONLY) != 0;
  // Decoders that declare a delay hold pictures back, and so do frame threads.
  m_bHoldsBack = (pCodec->capabilities & AV_CODEC_CAP_DELAY) != 0 || decoder_threads_hold_back(m_pCodec);
  m_pConverter = std::make_unique<PictureConverterC>(rOutput.m_i32Width, -rOutput.m_i32Height, PICTURE_BGR24);
  return true;
}

int32_t VideoDecompressorC::take(uint32_t ui32Flags, uint8_t* pOut, int64_t* pi64Tag) {
  const int32_t i32Ret = avcodec_receive_frame(m_pCodec, m_pDecoded);
  if (i32Ret == AVERROR(EAGAIN) || i32Ret == AVERROR_EOF) {
    return VIDEO_DECOMPRESS_NO_PICTURE;
  }
  if (i32Ret < 0) {
    return VIDEO_DECOMPRESS_ERROR;
  }
  av_frame_unref(m_pPrevious);
  av_frame_move_ref(m_pPrevious, m_pPicture);
  m_bHasPrevious = m_bHasPicture;
  av_frame_move_ref(m_pPicture, m_pDecoded);
  m_bHasPicture = true;
  if (pi64Tag != nullptr) {
    *pi64Tag = m_pPicture->pts;
  }
  if ((ui32Flags & VIDEO_DECOMPRESS_PREROLL) == 0) {
    convert(pOut);
  }
  return VIDEO_DECOMPRESS_PICTURE;
}

bool VideoDecompressorC::convert(uint8_t* pOut, bool bPrevious) {
  const bool bHas = bPrevious ? m_bHasPrevious : m_bHasPicture;
  if (!bHas || !m_pConverter->convert(bPrevious ? m_pPrevious : m_pPicture, pOut)) {
    return false;
  }
  ++g_rCounts.m_ui64Converted;
  return true;
}

VideoDecompressorC* video_decompressor_locate(uint32_t ui32Handler, const uint8_t* pInputFormat,
                                              uint32_t ui32InputSize, const uint8_t* pOutputFormat,
                                              uint32_t ui32OutputSize) {
  BitmapHeaderC rInput = {};
  BitmapHeaderC rOutput = {};
  if (!read_bitmap_header(pInputFormat, ui32InputSize, rInput) ||
      !read_bitmap_header(pOutputFormat, ui32OutputSize, rOutput)) {
    return nullptr;
  }
  // We give out one kind of picture: 24-bit BGR, top first.
  if (rOutput.m_ui16BitCount != 24 || rOutput.m_ui32Compression != COMPRESSION_RGB || rOutput.m_i32Height >= 0) {
    return nullptr;
  }
  codec_allocations_limit();

  const AVCodecTag* const rTables[] = {avformat_get_riff_video_tags(), nullptr};
  uint32_t ui32Tag = rInput.m_ui32Compression;
  AVCodecID eId = av_codec_get_id(rTables, ui32Tag);
  // A handler of 0 names nothing (it would read as uncompressed RGB).
  if (eId == AV_CODEC_ID_NONE && ui32Handler != 0) {
    ui32Tag = ui32Handler;
    eId = av_codec_get_id(rTables, ui32Tag);
  }
  const AVCodec* pCodec = eId == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(eId);
  if (pCodec == nullptr) {
    return nullptr;
  }
  VideoDecompressorC* pDecompressor = new VideoDecompressorC();
  if (!pDecompressor->open(pCodec, ui32Tag, rInput, pInputFormat, ui32InputSize, rOutput)) {
    delete pDecompressor;
    return nullptr;
  }
  return pDecompressor;
}

void video_decompressor_begin(VideoDecompressorC* pDecompressor) {
  avcodec_flush_buffers(pDecompressor->m_pCodec);
  av_frame_unref(pDecompressor->m_pPicture);
  av_frame_unref(pDecompressor->m_pPrevious);
  pDecompressor->m_bHasPicture = false;
  pDecompressor->m_bHasPrevious = false;
  std::memcpy(pDecompressor->m_rPalette, pDecompressor->m_rFormatPalette, sizeof(pDecompressor->m_rPalette));
  pDecompressor->m_bSendPalette = pDecompressor->m_bHasPalette;
}

int32_t video_decompressor_decompress(VideoDecompressorC* pDecompressor, uint32_t ui32Flags, const uint8_t* pData,
                                      uint32_t ui32Size, int64_t i64Tag, uint8_t* pOut, int64_t* pi64PictureTag) {
  // An empty packet would end the stream; an empty frame means "no change".
  if (pData == nullptr || ui32Size == 0 || ui32Size > INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE) {
    return VIDEO_DECOMPRESS_NO_PICTURE;
  }
  AVPacket* pPacket = pDecompressor->m_pPacket;
  // A copy, because decoders read past the end of a frame, up to the padding.
  if (av_new_packet(pPacket, static_cast<int>(ui32Size)) < 0) {
    return VIDEO_DECOMPRESS_ERROR;
  }
  std::memcpy(pPacket->data, pData, ui32Size);
  pPacket->pts = i64Tag;
  if (pDecompressor->m_bSendPalette) {
    uint8_t* pSide = av_packet_new_side_data(pPacket, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
    if (pSide != nullptr) {
      std::memcpy(pSide, pDecompressor->m_rPalette, AVPALETTE_SIZE);
      pDecompressor->m_bSendPalette = false;
    }
  }
  const int32_t i32Ret = avcodec_send_packet(pDecompressor->m_pCodec, pPacket);
  av_packet_unref(pPacket);
  ++g_rCounts.m_ui64Decoded;
  if (i32Ret < 0) {
    return VIDEO_DECOMPRESS_ERROR;
  }
  return pDecompressor->take(ui32Flags, pOut, pi64PictureTag);
}

int32_t video_decompressor_take(VideoDecompressorC* pDecompressor, uint32_t ui32Flags, uint8_t* pOut,
                                int64_t* pi64PictureTag) {
  return pDecompressor->take(ui32Flags, pOut, pi64PictureTag);
}

void video_decompressor_finish(VideoDecompressorC* pDecompressor) {
  avcodec_send_packet(pDecompressor->m_pCodec, nullptr);
}

bool video_decompressor_convert(VideoDecompressorC* pDecompressor, uint8_t* pOut) {
  return pDecompressor->convert(pOut);
}

bool video_decompressor_convert_previous(VideoDecompressorC* pDecompressor, uint8_t* pOut) {
  return pDecompressor->convert(pOut, true);
}

bool video_decompressor_intra_only(const VideoDecompressorC* pDecompressor) {
  return pDecompressor->m_bIntraOnly;
}

bool video_decompressor_key_picture(const VideoDecompressorC* pDecompressor) {
  // Decoders that do not tell leave the picture type unset: such pictures
  // are not taken as key frames.
  return pDecompressor->m_bHasPicture && pDecompressor->m_pPicture->key_frame != 0 &&
         pDecompressor->m_pPicture->pict_type == AV_PICTURE_TYPE_I;
}

bool video_decompressor_b_picture(const VideoDecompressorC* pDecompressor) {
  return pDecompressor->m_bHasPicture && pDecompressor->m_pPicture->pict_type == AV_PICTURE_TYPE_B;
}

int32_t video_decompressor_reorder_depth(const VideoDecompressorC* pDecompressor) {
  return std::max(0, pDecompressor->m_pCodec->has_b_frames);
}

void video_decompressor_change_palette(VideoDecompressorC* pDecompressor, uint32_t ui32First, uint32_t ui32Count,
                                       const uint8_t* pEntries) {
  for (uint32_t i = 0; i < ui32Count && ui32First + i < AVPALETTE_COUNT; ++i) {
    const uint8_t* pEntry = pEntries + 4 * i;
    pDecompressor->m_rPalette[ui32First + i] = 0xFF000000u | (static_cast<uint32_t>(pEntry[0]) << 16) |
                                               (static_cast<uint32_t>(pEntry[1]) << 8) | pEntry[2];
  }
  pDecompressor->m_bHasPalette = true;
  pDecompressor->m_bSendPalette = true;
}

bool video_decompressor_holds_back(const VideoDecompressorC* pDecompressor) {
  return pDecompressor->m_bHoldsBack;
}

void video_decompressor_end(VideoDecompressorC* pDecompressor) {
  avcodec_flush_buffers(pDecompressor->m_pCodec);
}

void video_decompressor_close(VideoDecompressorC* pDecompressor) {
  delete pDecompressor;
}

VideoDecodeCountsC video_decode_counts() {
  return g_rCounts;
}
