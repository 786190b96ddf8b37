#include "platform/imagedecoder.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
}

#include "platform/codecsettings.h"
#include "platform/littleendian.h"
#include "platform/pictureconverterc.h"
#include "platform/picturesize.h"

namespace {

bool starts_with(const uint8_t* pBytes, uint32_t ui32Size, const char* szSignature, uint32_t ui32Offset = 0) {
  const uint32_t ui32Length = static_cast<uint32_t>(std::strlen(szSignature));
  return ui32Size >= ui32Offset + ui32Length && std::memcmp(pBytes + ui32Offset, szSignature, ui32Length) == 0;
}

// TGA files start with an 18-byte header and no signature: a colour map
// type of 0 or 1, one of the six image types, a size, and a pixel depth
// that goes with the type.
bool looks_like_tga(const uint8_t* pBytes, uint32_t ui32Size) {
  constexpr uint32_t TGA_HEADER_SIZE = 18;
  if (ui32Size <= TGA_HEADER_SIZE || pBytes[1] > 1) {
    return false;
  }
  const uint8_t ui8Type = pBytes[2] & ~8u;
  const uint8_t ui8Depth = pBytes[16];
  const bool bTypeKnown = ui8Type >= 1 && ui8Type <= 3;
  const bool bDepthKnown = ui8Depth == 8 || ui8Depth == 15 || ui8Depth == 16 || ui8Depth == 24 || ui8Depth == 32;
  return bTypeKnown && bDepthKnown && (pBytes[2] & 4) == 0 && read_le16(pBytes + 12) > 0 && read_le16(pBytes + 14) > 0;
}

AVCodecID codec_of(ImageFormatE eFormat) {
  switch (eFormat) {
    case IMAGE_PNG:
      return AV_CODEC_ID_PNG;
    case IMAGE_JPEG:
      return AV_CODEC_ID_MJPEG;
    case IMAGE_WEBP:
      return AV_CODEC_ID_WEBP;
    case IMAGE_BMP:
      return AV_CODEC_ID_BMP;
    case IMAGE_TGA:
      return AV_CODEC_ID_TARGA;
    case IMAGE_TIFF:
      return AV_CODEC_ID_TIFF;
    case IMAGE_GIF:
      return AV_CODEC_ID_GIF;
    default:
      return AV_CODEC_ID_NONE;
  }
}

struct CodecContextDeleterS {
  void operator()(AVCodecContext* pContext) const { avcodec_free_context(&pContext); }
};
struct FrameDeleterS {
  void operator()(AVFrame* pFrame) const { av_frame_free(&pFrame); }
};
struct PacketDeleterS {
  void operator()(AVPacket* pPacket) const { av_packet_free(&pPacket); }
};

// The whole file is one packet, as FFmpeg's image demuxers hand it over; a
// GIF's first packet is its header with the first frame.
bool decode_picture(const uint8_t* pBytes, uint32_t ui32Size, ImageFormatE eFormat, AVFrame* pFrame,
                    std::string* pError) {
  const AVCodec* pCodec = avcodec_find_decoder(codec_of(eFormat));
  std::unique_ptr<AVCodecContext, CodecContextDeleterS> pContext(pCodec ? avcodec_alloc_context3(pCodec) : nullptr);
  std::unique_ptr<AVPacket, PacketDeleterS> pPacket(av_packet_alloc());
  if (!pContext || !pPacket || av_new_packet(pPacket.get(), static_cast<int>(ui32Size)) < 0) {
    *pError = "no decoder for it";
    return false;
  }
  std::memcpy(pPacket->data, pBytes, ui32Size);
  pPacket->flags |= AV_PKT_FLAG_KEY;
  // Pictures that a damaged header claims to be huge are refused, not allocated.
  pContext->max_pixels = MAX_VIDEO_PIXELS;
  pContext->thread_count = 1;
  if (avcodec_open2(pContext.get(), pCodec, nullptr) < 0) {
    *pError = "its decoder does not open";
    return false;
  }
  avcodec_send_packet(pContext.get(), pPacket.get());
  avcodec_send_packet(pContext.get(), nullptr);
  if (avcodec_receive_frame(pContext.get(), pFrame) < 0) {
    *pError = "its picture does not decode";
    return false;
  }
  return true;
}

}  // namespace

ImageFormatE image_format(const uint8_t* pBytes, uint32_t ui32Size) {
  if (starts_with(pBytes, ui32Size, "\x89PNG\r\n\x1a\n")) {
    return IMAGE_PNG;
  }
  if (starts_with(pBytes, ui32Size, "\xff\xd8\xff")) {
    return IMAGE_JPEG;
  }
  if (starts_with(pBytes, ui32Size, "RIFF") && starts_with(pBytes, ui32Size, "WEBP", 8)) {
    return IMAGE_WEBP;
  }
  if (starts_with(pBytes, ui32Size, "BM")) {
    return IMAGE_BMP;
  }
  if (starts_with(pBytes, ui32Size, "II*") || starts_with(pBytes, ui32Size, "MM")) {
    const bool bTiff = ui32Size >= 4 && ((pBytes[0] == 'I' && pBytes[3] == 0) || (pBytes[0] == 'M' && pBytes[2] == 0 &&
                                                                                  pBytes[3] == '*'));
    if (bTiff) {
      return IMAGE_TIFF;
    }
  }
  if (starts_with(pBytes, ui32Size, "GIF87a") || starts_with(pBytes, ui32Size, "GIF89a")) {
    return IMAGE_GIF;
  }
  return looks_like_tga(pBytes, ui32Size) ? IMAGE_TGA : IMAGE_UNKNOWN;
}

const char* image_format_name(ImageFormatE eFormat) {
  switch (eFormat) {
    case IMAGE_PNG:
      return "PNG";
    case IMAGE_JPEG:
      return "JPEG";
    case IMAGE_WEBP:
      return "WebP";
    case IMAGE_BMP:
      return "BMP";
    case IMAGE_TGA:
      return "TGA";
    case IMAGE_TIFF:
      return "TIFF";
    case IMAGE_GIF:
      return "GIF";
    default:
      return "unknown";
  }
}

DecodedImageC::~DecodedImageC() {
  clear();
}

void DecodedImageC::clear() {
  free_picture(m_pPixels);
  m_pPixels = nullptr;
  m_i32Width = 0;
  m_i32Height = 0;
  m_bAlpha = false;
  m_eFormat = IMAGE_UNKNOWN;
}

bool DecodedImageC::decode(const uint8_t* pBytes, uint32_t ui32Size, std::string* pError) {
  clear();
  const ImageFormatE eFormat = pBytes ? image_format(pBytes, ui32Size) : IMAGE_UNKNOWN;
  if (eFormat == IMAGE_UNKNOWN) {
    *pError = "not a PNG, JPEG, WebP, BMP, TGA, TIFF or GIF file";
    return false;
  }
  codec_allocations_limit();
  std::unique_ptr<AVFrame, FrameDeleterS> pFrame(av_frame_alloc());
  if (!pFrame || !decode_picture(pBytes, ui32Size, eFormat, pFrame.get(), pError)) {
    if (!pFrame) {
      *pError = "out of memory";
    }
    return false;
  }
  const int32_t i32Width = pFrame->width;
  const int32_t i32Height = pFrame->height;
  if (i32Width <= 0 || i32Height <= 0 || i32Width > MAX_PICTURE_SIDE || i32Height > MAX_PICTURE_SIDE) {
    *pError = "its picture of " + std::to_string(i32Width) + " x " + std::to_string(i32Height) +
              " pixels has a side longer than " + std::to_string(MAX_PICTURE_SIDE);
    return false;
  }
  uint8_t* pPixels = allocate_picture(i32Width, i32Height, PICTURE_RGBA32);
  PictureConverterC rConverter(i32Width, i32Height, PICTURE_RGBA32);
  if (!pPixels || !rConverter.convert(pFrame.get(), pPixels)) {
    free_picture(pPixels);
    *pError = pPixels ? "its pixel format cannot be converted" : "out of memory";
    return false;
  }
  m_pPixels = pPixels;
  m_i32Width = i32Width;
  m_i32Height = i32Height;
  m_eFormat = eFormat;
  const size_t uiPixelCount = static_cast<size_t>(i32Width) * static_cast<size_t>(i32Height);
  for (size_t i = 0; i < uiPixelCount && !m_bAlpha; ++i) {
    m_bAlpha = pPixels[i * 4 + 3] != 255;
  }
  return true;
}
