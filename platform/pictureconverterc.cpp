#include "platform/pictureconverterc.h"

#include <cstdlib>
#include <cstring>

#include "platform/enumnumber.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

namespace {

// Rows that start this aligned let libswscale take its SIMD paths, the ones
// FFmpeg's own frames take, so pictures match FFmpeg's byte for byte.
constexpr int32_t OUTPUT_ALIGNMENT = 32;
constexpr size_t BUFFER_ALIGNMENT = 64;

// The full-range YCbCr formats are the plain ones with the range set apart;
// libswscale warns about them otherwise.
AVPixelFormat plain_range_format(AVPixelFormat eFormat, bool& rFullRange) {
  rFullRange = true;
  switch (eFormat) {
    case AV_PIX_FMT_YUVJ420P:
      return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
      return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
      return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
      return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
      return AV_PIX_FMT_YUV411P;
    default:
      rFullRange = false;
      return eFormat;
  }
}

int32_t bytes_per_pixel(PictureLayoutE eLayout) {
  return eLayout == PICTURE_RGBA32 ? 4 : 3;
}

}  // namespace

int32_t picture_stride(int32_t i32Width, PictureLayoutE eLayout) {
  return (i32Width * bytes_per_pixel(eLayout) + 3) & ~3;
}

uint8_t* allocate_picture(int32_t i32Width, int32_t i32Height, PictureLayoutE eLayout) {
  const size_t uiSize = static_cast<size_t>(i32Height) * static_cast<size_t>(picture_stride(i32Width, eLayout));
  const size_t uiAllocated = (uiSize + PICTURE_PADDING + BUFFER_ALIGNMENT - 1) / BUFFER_ALIGNMENT * BUFFER_ALIGNMENT;
  uint8_t* pPicture = static_cast<uint8_t*>(std::aligned_alloc(BUFFER_ALIGNMENT, uiAllocated));
  if (pPicture != nullptr) {
    std::memset(pPicture, 0, uiAllocated);
  }
  return pPicture;
}

void free_picture(uint8_t* pPicture) {
  std::free(pPicture);
}

PictureConverterC::PictureConverterC(int32_t i32Width, int32_t i32Height, PictureLayoutE eLayout)
    : m_i32Width(i32Width), m_i32Height(i32Height), m_i32Stride(picture_stride(i32Width, eLayout)), m_eLayout(eLayout) {}

PictureConverterC::~PictureConverterC() {
  sws_freeContext(m_pScaler);
  av_free(m_pScratch);
}

bool PictureConverterC::set_up_scaler(const AVFrame* pPicture) {
  if (pPicture->format == m_i32ScalerFormat && pPicture->width == m_i32ScalerWidth &&
      pPicture->height == m_i32ScalerHeight) {
    return true;
  }
  m_i32ScalerFormat = AV_PIX_FMT_NONE;
  const AVPixelFormat eFormat = plain_range_format(static_cast<AVPixelFormat>(pPicture->format), m_bFullRangeFormat);
  if (pPicture->width <= 0 || pPicture->height <= 0 || !sws_isSupportedInput(eFormat)) {
    return false;
  }
  const AVPixelFormat eOut = m_eLayout == PICTURE_RGBA32 ? AV_PIX_FMT_RGBA : AV_PIX_FMT_BGR24;
  m_pScaler = sws_getCachedContext(m_pScaler, pPicture->width, pPicture->height, eFormat, m_i32Width, m_i32Height,
                                   eOut, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (m_pScaler == nullptr) {
    return false;
  }
  m_i32ScalerFormat = pPicture->format;
  m_i32ScalerWidth = pPicture->width;
  m_i32ScalerHeight = pPicture->height;
  m_i32ScalerColorspace = -1;
  return true;
}

// The YCbCr matrix and range the picture says it has, the way the reference
// decoder's scaler reads them. Decoders pass the file's numbers through, so
// the fields may hold values outside their enumerations: they are read as
// plain numbers, and a matrix the scaler does not know counts as unspecified.
void PictureConverterC::set_up_colours(const AVFrame* pPicture) {
  const int32_t i32FileColorspace = plain_number(pPicture->colorspace);
  const int32_t i32FileRange = plain_number(pPicture->color_range);
  if (i32FileColorspace == m_i32ScalerColorspace && i32FileRange == m_i32ScalerRange) {
    return;
  }
  int* pInverse = nullptr;
  int* pTable = nullptr;
  int32_t i32SourceFull = 0;
  int32_t i32DestFull = 0;
  int32_t i32Brightness = 0;
  int32_t i32Contrast = 0;
  int32_t i32Saturation = 0;
  sws_getColorspaceDetails(m_pScaler, &pInverse, &i32SourceFull, &pTable, &i32DestFull, &i32Brightness,
                           &i32Contrast, &i32Saturation);
  int32_t i32Colorspace = i32FileColorspace;
  if (i32Colorspace < 1 || i32Colorspace > 10 || i32Colorspace == 8) {
    i32Colorspace = AVCOL_SPC_BT470BG;
  }
  if (i32FileRange != AVCOL_RANGE_UNSPECIFIED) {
    i32SourceFull = i32FileRange == AVCOL_RANGE_JPEG;
  } else if (m_bFullRangeFormat) {
    i32SourceFull = 1;
  }
  sws_setColorspaceDetails(m_pScaler, sws_getCoefficients(i32Colorspace), i32SourceFull, pTable, i32DestFull,
                           i32Brightness, i32Contrast, i32Saturation);
  m_i32ScalerColorspace = i32FileColorspace;
  m_i32ScalerRange = i32FileRange;
}

bool PictureConverterC::convert(const AVFrame* pPicture, uint8_t* pOut) {
  if (pPicture == nullptr || pOut == nullptr || !set_up_scaler(pPicture)) {
    return false;
  }
  set_up_colours(pPicture);
  // Straight into the caller's rows when they are aligned as FFmpeg's are
  // (whole blocks of pixels, so nothing is written past a row but into the
  // padding); else through our own rows, copied without their alignment.
  const int32_t i32RowBytes = m_i32Width * bytes_per_pixel(m_eLayout);
  const bool bDirect =
      reinterpret_cast<uintptr_t>(pOut) % OUTPUT_ALIGNMENT == 0 && m_i32Stride % OUTPUT_ALIGNMENT == 0;
  uint8_t* pTarget = pOut;
  int32_t i32TargetStride = m_i32Stride;
  if (!bDirect) {
    i32TargetStride = FFALIGN(i32RowBytes, 2 * OUTPUT_ALIGNMENT);
    if (m_pScratch == nullptr) {
      // SIMD paths write whole blocks of pixels, past the end of the last
      // row too: one spare row and the padding take them.
      const size_t uiSize = static_cast<size_t>(i32TargetStride) * (m_i32Height + 1) + PICTURE_PADDING;
      m_pScratch = static_cast<uint8_t*>(av_malloc(uiSize));
      if (m_pScratch == nullptr) {
        return false;
      }
    }
    pTarget = m_pScratch;
  }
  uint8_t* rTargets[4] = {pTarget, nullptr, nullptr, nullptr};
  int rStrides[4] = {i32TargetStride, 0, 0, 0};
  sws_scale(m_pScaler, pPicture->data, pPicture->linesize, 0, pPicture->height, rTargets, rStrides);
  if (!bDirect) {
    for (int32_t i32Row = 0; i32Row < m_i32Height; ++i32Row) {
      std::memcpy(pOut + static_cast<size_t>(i32Row) * m_i32Stride,
                  pTarget + static_cast<size_t>(i32Row) * i32TargetStride, static_cast<size_t>(i32RowBytes));
    }
  }
  return true;
}
