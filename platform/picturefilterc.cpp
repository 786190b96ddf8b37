#include "platform/picturefilterc.h"

#include <cstdio>

#include "platform/enumnumber.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libavutil/mathematics.h>
#include <libavutil/pixdesc.h>
}

namespace {

// One picture out for each picture in, each field order read from the
// picture; the stream's word alone deinterlaces every picture, a picture's
// own mark only the marked ones.
constexpr const char* DEINTERLACE_ALL = "bwdif=mode=send_frame:parity=auto:deint=all";
constexpr const char* DEINTERLACE_MARKED = "bwdif=mode=send_frame:parity=auto:deint=interlaced";
// Linear light at 100 nits, BT.709 primaries, Hable's curve (without
// desaturation, which greys out highlights), then BT.709 video levels.
constexpr const char* TONE_MAP =
    "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=hable:desat=0,"
    "zscale=t=bt709:m=bt709:r=tv,format=yuv420p";

// Tone mapping works on 12 bytes a pixel: above 4K (about 110 MB a picture)
// the pictures are shown as they are rather than take that much.
constexpr int64_t MAX_TONE_MAPPED_PIXELS = int64_t{4096} * 2304;

bool is_hdr(int32_t i32Transfer) {
  return i32Transfer == AVCOL_TRC_SMPTE2084 || i32Transfer == AVCOL_TRC_ARIB_STD_B67;
}

bool is_ycbcr(int32_t i32Format) {
  const AVPixFmtDescriptor* pFormat = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(i32Format));
  return pFormat != nullptr && (pFormat->flags & AV_PIX_FMT_FLAG_RGB) == 0 && pFormat->nb_components >= 3;
}

// What players assume where the file says nothing.
void tag_untagged(AVFrame* pPicture) {
  if (!is_ycbcr(pPicture->format)) {
    return;
  }
  const bool bHdr = is_hdr(plain_number(pPicture->color_trc));
  if (plain_number(pPicture->colorspace) == AVCOL_SPC_UNSPECIFIED) {
    if (bHdr) {
      pPicture->colorspace = AVCOL_SPC_BT2020_NCL;
    } else {
      const bool bHd = pPicture->width >= 1280 || pPicture->height >= 720;
      pPicture->colorspace = bHd ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
    }
  }
  if (bHdr && plain_number(pPicture->color_primaries) == AVCOL_PRI_UNSPECIFIED) {
    pPicture->color_primaries = AVCOL_PRI_BT2020;
  }
}

}  // namespace

PictureFilterC::PictureFilterC(bool bInterlacedStream, int32_t i32TimeBaseNum, int32_t i32TimeBaseDen)
    : m_bInterlacedStream(bInterlacedStream),
      m_i32TimeBaseNum(i32TimeBaseNum > 0 ? i32TimeBaseNum : 1),
      m_i32TimeBaseDen(i32TimeBaseDen > 0 ? i32TimeBaseDen : 1),
      m_pHeld(av_frame_alloc()) {}

PictureFilterC::~PictureFilterC() {
  free_graph();
  av_frame_free(&m_pHeld);
}

void PictureFilterC::free_graph() {
  avfilter_graph_free(&m_pGraph);
  m_pSource = nullptr;
  m_pSink = nullptr;
}

void PictureFilterC::reset() {
  free_graph();
  m_bSetUp = false;
  if (m_pHeld != nullptr) {
    av_frame_unref(m_pHeld);
  }
  m_bEnded = false;
}

std::string PictureFilterC::filters_for(const AVFrame* pPicture) {
  std::string sFilters;
  if (m_bInterlacedStream || m_bDeinterlacing) {
    sFilters = m_bInterlacedStream ? DEINTERLACE_ALL : DEINTERLACE_MARKED;
  }
  if (is_hdr(plain_number(pPicture->color_trc)) && is_ycbcr(pPicture->format)) {
    if (int64_t{pPicture->width} * pPicture->height <= MAX_TONE_MAPPED_PIXELS) {
      sFilters += (sFilters.empty() ? "" : ",") + std::string(TONE_MAP);
    } else if (!m_bLargeHdrSaid) {
      std::fprintf(stderr, "fliksel: a movie's HDR pictures of %d x %d are shown without tone mapping: it is done "
                   "up to 4096 x 2304\n", pPicture->width, pPicture->height);
      m_bLargeHdrSaid = true;
    }
  }
  return sFilters;
}

void PictureFilterC::set_up_for(const AVFrame* pPicture) {
  m_bDeinterlacing = m_bDeinterlacing || pPicture->interlaced_frame != 0;
  const std::string sFilters = filters_for(pPicture);
  if (m_bSetUp && sFilters == m_sFilters && pPicture->width == m_i32Width && pPicture->height == m_i32Height &&
      pPicture->format == m_i32Format && plain_number(pPicture->color_trc) == m_i32Transfer) {
    return;
  }
  free_graph();
  m_sFilters = sFilters;
  m_i32Width = pPicture->width;
  m_i32Height = pPicture->height;
  m_i32Format = pPicture->format;
  m_i32Transfer = plain_number(pPicture->color_trc);
  m_bSetUp = true;
  if (!m_sFilters.empty()) {
    make_graph(pPicture);
  }
}

bool PictureFilterC::make_graph(const AVFrame* pPicture) {
  m_pGraph = avfilter_graph_alloc();
  if (m_pGraph == nullptr) {
    return false;
  }
  const AVRational rAspect = pPicture->sample_aspect_ratio.num > 0 ? pPicture->sample_aspect_ratio : AVRational{1, 1};
  char szSource[160];
  std::snprintf(szSource, sizeof(szSource), "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                pPicture->width, pPicture->height, pPicture->format, m_i32TimeBaseNum, m_i32TimeBaseDen,
                rAspect.num, rAspect.den);
  int32_t i32Result = avfilter_graph_create_filter(&m_pSource, avfilter_get_by_name("buffer"), "in", szSource,
                                                   nullptr, m_pGraph);
  if (i32Result >= 0) {
    i32Result = avfilter_graph_create_filter(&m_pSink, avfilter_get_by_name("buffersink"), "out", nullptr,
                                             nullptr, m_pGraph);
  }
  AVFilterInOut* pOutputs = avfilter_inout_alloc();
  AVFilterInOut* pInputs = avfilter_inout_alloc();
  if (i32Result >= 0 && pOutputs != nullptr && pInputs != nullptr) {
    pOutputs->name = av_strdup("in");
    pOutputs->filter_ctx = m_pSource;
    pInputs->name = av_strdup("out");
    pInputs->filter_ctx = m_pSink;
    i32Result = avfilter_graph_parse_ptr(m_pGraph, m_sFilters.c_str(), &pInputs, &pOutputs, nullptr);
  } else if (i32Result >= 0) {
    i32Result = AVERROR(ENOMEM);
  }
  avfilter_inout_free(&pInputs);
  avfilter_inout_free(&pOutputs);
  if (i32Result >= 0) {
    i32Result = avfilter_graph_config(m_pGraph, nullptr);
  }
  if (i32Result < 0) {
    if (!m_bRefusalSaid) {
      char szError[AV_ERROR_MAX_STRING_SIZE] = {};
      av_strerror(i32Result, szError, sizeof(szError));
      std::fprintf(stderr, "fliksel: a movie's pictures are shown as decoded: libavfilter refused %s (%s)\n",
                   m_sFilters.c_str(), szError);
      m_bRefusalSaid = true;
    }
    free_graph();
    return false;
  }
  return true;
}

bool PictureFilterC::send(AVFrame* pPicture) {
  tag_untagged(pPicture);
  if (pPicture->pts == AV_NOPTS_VALUE) {
    pPicture->pts = pPicture->best_effort_timestamp;
  }
  set_up_for(pPicture);
  if (m_pGraph == nullptr) {
    av_frame_unref(m_pHeld);
    av_frame_move_ref(m_pHeld, pPicture);
    return true;
  }
  if (av_buffersrc_add_frame_flags(m_pSource, pPicture, 0) < 0) {
    av_frame_unref(pPicture);
    return false;
  }
  return true;
}

void PictureFilterC::send_end() {
  // A graph that cannot be flushed has nothing more to give.
  if (!m_bEnded && m_pSource != nullptr && av_buffersrc_add_frame_flags(m_pSource, nullptr, 0) < 0) {
    free_graph();
  }
  m_bEnded = true;
}

int32_t PictureFilterC::receive(AVFrame* pPicture) {
  if (m_pHeld != nullptr && m_pHeld->buf[0] != nullptr) {
    av_frame_move_ref(pPicture, m_pHeld);
    return 0;
  }
  if (m_pGraph != nullptr) {
    // bwdif counts in fields: its time base is half the stream's.
    const int32_t i32Result = av_buffersink_get_frame(m_pSink, pPicture);
    if (i32Result == 0 && pPicture->pts != AV_NOPTS_VALUE) {
      pPicture->pts = av_rescale_q(pPicture->pts, av_buffersink_get_time_base(m_pSink),
                                   AVRational{m_i32TimeBaseNum, m_i32TimeBaseDen});
    }
    return i32Result;
  }
  return m_bEnded ? AVERROR_EOF : AVERROR(EAGAIN);
}
