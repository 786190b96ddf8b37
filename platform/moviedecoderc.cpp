#include "platform/moviedecoderc.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/codecsettings.h"
#include "platform/decoderthreads.h"
#include "platform/picturefilterc.h"
#include "platform/picturesize.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Only the containers the Movie importable is for; other demuxers would
// take a random file for something.
constexpr const char* CONTAINERS = "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm,ogg";
constexpr int32_t IO_BUFFER_SIZE = 32768;
// How much libavformat may read to recognise the container.
constexpr int64_t PROBE_SIZE = 1 << 20;
constexpr uint32_t MAX_STREAMS = 64;
// Over nine hours at 30 pictures a second: the index stops growing there.
constexpr size_t MAX_PICTURES = size_t{1} << 20;
// Frame numbers are int32; a damaged duration must not reach beyond them.
// This is over 150 hours at 30 frames a second.
constexpr int64_t MAX_FRAMES = int64_t{1} << 24;
// A damaged stream must not keep a request busy for ever: a request takes
// at most as many steps as the stream has pictures, twice, and these more.
constexpr int64_t SPARE_STEPS = 256;

int64_t packet_time(const AVPacket* pPacket) {
  return pPacket->pts != AV_NOPTS_VALUE ? pPacket->pts : pPacket->dts;
}

int64_t picture_time(const AVFrame* pFrame) {
  return pFrame->pts != AV_NOPTS_VALUE ? pFrame->pts : pFrame->best_effort_timestamp;
}

// VP8 and VP9 keep the alpha of WebM files beside the picture, where only
// libvpx's own decoders read it.
const AVCodec* find_decoder(const AVStream* pStream, bool* pAlphaBeside) {
  const AVCodecParameters* pParameters = pStream->codecpar;
  const AVDictionaryEntry* pAlpha = av_dict_get(pStream->metadata, "alpha_mode", nullptr, 0);
  *pAlphaBeside = false;
  if (pAlpha != nullptr && std::strcmp(pAlpha->value, "1") == 0) {
    const char* szName = pParameters->codec_id == AV_CODEC_ID_VP8   ? "libvpx"
                         : pParameters->codec_id == AV_CODEC_ID_VP9 ? "libvpx-vp9"
                                                                    : nullptr;
    const AVCodec* pCodec = szName != nullptr ? avcodec_find_decoder_by_name(szName) : nullptr;
    if (pCodec != nullptr) {
      *pAlphaBeside = true;
      return pCodec;
    }
  }
  return avcodec_find_decoder(pParameters->codec_id);
}

bool format_has_alpha(int32_t i32Format) {
  const AVPixFmtDescriptor* pDescriptor = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(i32Format));
  return pDescriptor != nullptr && (pDescriptor->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
}

bool sensible_size(int64_t i64Width, int64_t i64Height) {
  return i64Width > 0 && i64Height > 0 && i64Width <= MAX_VIDEO_SIDE && i64Height <= MAX_VIDEO_SIDE &&
         i64Width * i64Height <= MAX_VIDEO_PIXELS;
}

}  // namespace

int MovieDecoderC::read_memory(void* pOpaque, uint8_t* pBuffer, int iSize) {
  MemoryStreamC* pStream = static_cast<MemoryStreamC*>(pOpaque);
  const uint64_t ui64Left = pStream->m_ui64Size - pStream->m_ui64Position;
  const int iCount = static_cast<int>(std::min<uint64_t>(ui64Left, static_cast<uint64_t>(std::max(iSize, 0))));
  if (iCount == 0) {
    return AVERROR_EOF;
  }
  std::memcpy(pBuffer, pStream->m_pData + pStream->m_ui64Position, static_cast<size_t>(iCount));
  pStream->m_ui64Position += static_cast<uint64_t>(iCount);
  return iCount;
}

int64_t MovieDecoderC::seek_memory(void* pOpaque, int64_t i64Offset, int iWhence) {
  MemoryStreamC* pStream = static_cast<MemoryStreamC*>(pOpaque);
  const int64_t i64Size = static_cast<int64_t>(pStream->m_ui64Size);
  if (iWhence & AVSEEK_SIZE) {
    return i64Size;
  }
  int64_t i64Base = 0;
  switch (iWhence & ~AVSEEK_FORCE) {
    case SEEK_SET:
      break;
    case SEEK_CUR:
      i64Base = static_cast<int64_t>(pStream->m_ui64Position);
      break;
    case SEEK_END:
      i64Base = i64Size;
      break;
    default:
      return AVERROR(EINVAL);
  }
  // Offsets come from the file: far ones must not overflow.
  if (i64Offset < -i64Base || i64Offset > i64Size - i64Base) {
    return AVERROR(EINVAL);
  }
  pStream->m_ui64Position = static_cast<uint64_t>(i64Base + i64Offset);
  return i64Base + i64Offset;
}

MovieDecoderC* MovieDecoderC::open(const uint8_t* pData, uint32_t ui32Size, std::string* pProblem) {
  if (pData == nullptr || ui32Size == 0) {
    if (pProblem != nullptr) {
      *pProblem = "the file is empty";
    }
    return nullptr;
  }
  codec_allocations_limit();
  MovieDecoderC* pDecoder = new MovieDecoderC();
  if (!pDecoder->open_container(pData, ui32Size) || !pDecoder->open_codec() || !pDecoder->index_pictures()) {
    if (pProblem != nullptr) {
      *pProblem = pDecoder->m_sProblem;
    }
    delete pDecoder;
    return nullptr;
  }
  pDecoder->choose_frame_rate();
  if (!pDecoder->read_first_picture()) {
    if (pProblem != nullptr) {
      *pProblem = pDecoder->m_sProblem;
    }
    delete pDecoder;
    return nullptr;
  }
  return pDecoder;
}

MovieDecoderC::~MovieDecoderC() {
  free_picture(m_pUnturned);
  av_frame_free(&m_pPicture);
  av_frame_free(&m_pDecoded);
  av_packet_free(&m_pPacket);
  avcodec_free_context(&m_pCodec);
  avformat_close_input(&m_pFormat);
  if (m_pIo != nullptr) {
    av_freep(&m_pIo->buffer);
    avio_context_free(&m_pIo);
  }
}

bool MovieDecoderC::open_container(const uint8_t* pData, uint32_t ui32Size) {
  m_rStream = {pData, ui32Size, 0};
  uint8_t* pBuffer = static_cast<uint8_t*>(av_malloc(IO_BUFFER_SIZE));
  if (pBuffer == nullptr) {
    return false;
  }
  m_pIo = avio_alloc_context(pBuffer, IO_BUFFER_SIZE, 0, &m_rStream, &MovieDecoderC::read_memory, nullptr,
                             &MovieDecoderC::seek_memory);
  m_pFormat = avformat_alloc_context();
  m_pPacket = av_packet_alloc();
  m_pDecoded = av_frame_alloc();
  m_pPicture = av_frame_alloc();
  if (m_pIo == nullptr || m_pFormat == nullptr || m_pPacket == nullptr || m_pDecoded == nullptr ||
      m_pPicture == nullptr) {
    if (m_pIo == nullptr) {
      av_free(pBuffer);
    }
    m_sProblem = "out of memory";
    return false;
  }
  m_pFormat->pb = m_pIo;
  // Ours to free, whatever happens to the context.
  m_pFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
  m_pFormat->format_probesize = static_cast<int>(PROBE_SIZE);
  m_pFormat->probesize = PROBE_SIZE;
  m_pFormat->max_streams = MAX_STREAMS;
  m_pFormat->format_whitelist = av_strdup(CONTAINERS);
  // Probed first, so that other files are refused without libavformat's
  // complaint about the list.
  const AVInputFormat* pContainer = nullptr;
  if (m_pFormat->format_whitelist == nullptr ||
      av_probe_input_buffer2(m_pIo, &pContainer, "", nullptr, 0, static_cast<unsigned>(PROBE_SIZE)) < 0 ||
      !av_match_list(pContainer->name, CONTAINERS, ',')) {
    m_sProblem = "unknown container (not MP4, MOV, 3GP, Matroska, WebM or Ogg)";
    return false;
  }
  // On failure libavformat frees the context, not our I/O.
  if (avformat_open_input(&m_pFormat, nullptr, pContainer, nullptr) < 0) {
    m_sProblem = std::string("damaged ") + pContainer->name + " container";
    return false;
  }
  // The first video stream, whatever libavformat would rank best; cover
  // pictures are no stream of pictures.
  for (uint32_t i = 0; i < m_pFormat->nb_streams; ++i) {
    const AVStream* pStream = m_pFormat->streams[i];
    if (pStream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
        (pStream->disposition & AV_DISPOSITION_ATTACHED_PIC) == 0) {
      m_i32StreamIndex = static_cast<int32_t>(i);
      break;
    }
  }
  if (m_i32StreamIndex < 0) {
    m_sProblem = "no video stream";
    return false;
  }
  // The other streams' packets are never read; the stream's parameters and
  // rate come from the first mebibyte, as the ffmpeg command finds them.
  for (uint32_t i = 0; i < m_pFormat->nb_streams; ++i) {
    if (static_cast<int32_t>(i) != m_i32StreamIndex) {
      m_pFormat->streams[i]->discard = AVDISCARD_ALL;
    }
  }
  avformat_find_stream_info(m_pFormat, nullptr);
  return true;
}

bool MovieDecoderC::open_codec() {
  AVStream* pStream = m_pFormat->streams[m_i32StreamIndex];
  const AVCodecParameters* pParameters = pStream->codecpar;
  // Without libavformat's stream analysis the mov demuxer leaves MPEG-4
  // Part 2 and H.263 at 0 × 0: their first picture tells.
  const bool bSizeUnknown = pParameters->width == 0 && pParameters->height == 0;
  if (!bSizeUnknown && !sensible_size(pParameters->width, pParameters->height)) {
    m_sProblem = "damaged: a picture size of " + std::to_string(pParameters->width) + " x " +
                 std::to_string(pParameters->height);
    return false;
  }
  bool bAlphaBeside = false;
  const AVCodec* pCodec = find_decoder(pStream, &bAlphaBeside);
  if (pCodec == nullptr) {
    char szTag[AV_FOURCC_MAX_STRING_SIZE] = {};
    m_sProblem = pParameters->codec_id != AV_CODEC_ID_NONE
                     ? std::string("no decoder for the codec ") + avcodec_get_name(pParameters->codec_id)
                     : std::string("no decoder for the codec \"") +
                           av_fourcc_make_string(szTag, pParameters->codec_tag) + "\"";
    return false;
  }
  m_pCodec = avcodec_alloc_context3(pCodec);
  if (m_pCodec == nullptr || avcodec_parameters_to_context(m_pCodec, pParameters) < 0) {
    m_sProblem = "out of memory";
    return false;
  }
  m_pCodec->pkt_timebase = pStream->time_base;
  const AVFieldOrder eFields = pParameters->field_order;
  const bool bInterlaced = eFields == AV_FIELD_TT || eFields == AV_FIELD_BB || eFields == AV_FIELD_TB ||
                           eFields == AV_FIELD_BT;
  m_pFilter = std::make_unique<PictureFilterC>(bInterlaced, pStream->time_base.num, pStream->time_base.den);
  decoder_threads_configure(m_pCodec);
  // Pictures that a damaged frame claims to be huge are refused, not allocated.
  m_pCodec->max_pixels = MAX_VIDEO_PIXELS;
  if (avcodec_open2(m_pCodec, pCodec, nullptr) < 0) {
    m_sProblem = std::string("the ") + pCodec->name + " decoder refuses the stream";
    return false;
  }
  m_i32Width = pParameters->width;
  m_i32Height = pParameters->height;
  m_bAlphaBeside = bAlphaBeside;
  return true;
}

// Many containers do not say whether pictures have alpha, some not even
// their size: the first picture does, and its size, not the header's, is
// what picture memory is allocated for. It stays decoded for the first
// request.
bool MovieDecoderC::read_first_picture() {
  seek_before(m_rPictureTimes.front());
  const bool bDecoded = decode_until(m_rPictureTimes.front());
  m_bAlpha = m_bAlphaBeside || (bDecoded && format_has_alpha(m_pPicture->format));
  if (m_i32Width == 0 && !bDecoded) {
    m_sProblem = "damaged: no picture decodes";
    return false;
  }
  if (bDecoded) {
    if (!sensible_size(m_pPicture->width, m_pPicture->height)) {
      m_sProblem = "damaged: a picture size of " + std::to_string(m_pPicture->width) + " x " +
                   std::to_string(m_pPicture->height);
      return false;
    }
    m_i32Width = m_pPicture->width;
    m_i32Height = m_pPicture->height;
  }
  choose_geometry(m_i32Width, m_i32Height);
  return true;
}

// Samples wider than high widen the picture, narrower ones make it taller,
// as players show them; then the display matrix turns it.
void MovieDecoderC::choose_geometry(int32_t i32PictureWidth, int32_t i32PictureHeight) {
  AVStream* pStream = m_pFormat->streams[m_i32StreamIndex];
  AVRational rAspect = av_guess_sample_aspect_ratio(m_pFormat, pStream, m_bHasPicture ? m_pPicture : nullptr);
  int64_t i64Width = i32PictureWidth;
  int64_t i64Height = i32PictureHeight;
  // Samples more than four times as wide as high, or as high as wide, are
  // no display's: damaged numbers, shown square rather than stretched.
  const bool bDisplayable = rAspect.num > 0 && rAspect.den > 0 && int64_t{rAspect.num} <= 4 * int64_t{rAspect.den} &&
                            int64_t{rAspect.den} <= 4 * int64_t{rAspect.num};
  if (bDisplayable) {
    if (rAspect.num > rAspect.den) {
      i64Width = av_rescale(i64Width, rAspect.num, rAspect.den);
    } else {
      i64Height = av_rescale(i64Height, rAspect.den, rAspect.num);
    }
  }
  if (!sensible_size(i64Width, i64Height)) {
    // An aspect that no display has: the samples are shown square.
    i64Width = i32PictureWidth;
    i64Height = i32PictureHeight;
  }
  m_i32UnturnedWidth = static_cast<int32_t>(i64Width);
  m_i32UnturnedHeight = static_cast<int32_t>(i64Height);
  size_t uiMatrixSize = 0;
  const uint8_t* pMatrix = av_stream_get_side_data(pStream, AV_PKT_DATA_DISPLAYMATRIX, &uiMatrixSize);
  m_rTurn = picture_turn_from_matrix(uiMatrixSize >= 9 * sizeof(int32_t) ? reinterpret_cast<const int32_t*>(pMatrix)
                                                                          : nullptr);
  m_i32Width = m_rTurn.m_bTranspose ? m_i32UnturnedHeight : m_i32UnturnedWidth;
  m_i32Height = m_rTurn.m_bTranspose ? m_i32UnturnedWidth : m_i32UnturnedHeight;
  m_pConverter = std::make_unique<PictureConverterC>(m_i32UnturnedWidth, m_i32UnturnedHeight, LAYOUT);
}

// Every packet of the stream once, without decoding: the pictures' times in
// display order and the key frames. Packets the container marks to be
// dropped (before the start of an edit) bring no picture.
bool MovieDecoderC::index_pictures() {
  while (m_rPictureTimes.size() < MAX_PICTURES && av_read_frame(m_pFormat, m_pPacket) >= 0) {
    const int64_t i64Time = packet_time(m_pPacket);
    if (m_pPacket->stream_index == m_i32StreamIndex && i64Time != AV_NOPTS_VALUE &&
        (m_pPacket->flags & AV_PKT_FLAG_DISCARD) == 0) {
      if (m_rPictureTimes.empty() || i64Time >= m_i64LastPictureTime) {
        m_i64LastPictureTime = i64Time;
        m_i64LastPictureDuration = m_pPacket->duration;
      }
      m_rPictureTimes.push_back(i64Time);
      if (m_pPacket->flags & AV_PKT_FLAG_KEY) {
        const int64_t i64Dts = m_pPacket->dts != AV_NOPTS_VALUE ? m_pPacket->dts : i64Time;
        m_rKeyFrames.push_back({i64Time, std::min(i64Time, i64Dts)});
      }
    }
    av_packet_unref(m_pPacket);
  }
  std::sort(m_rPictureTimes.begin(), m_rPictureTimes.end());
  std::sort(m_rKeyFrames.begin(), m_rKeyFrames.end(),
            [](const KeyFrameC& rA, const KeyFrameC& rB) { return rA.m_i64Pts < rB.m_i64Pts; });
  if (m_rPictureTimes.empty()) {
    m_sProblem = "damaged: the video stream has no pictures";
    return false;
  }
  return true;
}

// The rate libavformat guesses, as players take it; else the stream's
// average; else the pictures' spacing.
void MovieDecoderC::choose_frame_rate() {
  AVStream* pStream = m_pFormat->streams[m_i32StreamIndex];
  m_i64TimeBaseNum = pStream->time_base.num > 0 ? pStream->time_base.num : 1;
  m_i64TimeBaseDen = pStream->time_base.den > 0 ? pStream->time_base.den : 1;
  AVRational rRate = av_guess_frame_rate(m_pFormat, pStream, nullptr);
  if (rRate.num <= 0 || rRate.den <= 0) {
    rRate = pStream->avg_frame_rate;
  }
  if (rRate.num <= 0 || rRate.den <= 0) {
    const int64_t i64Span = m_rPictureTimes.back() - m_rPictureTimes.front();
    const int64_t i64Gaps = static_cast<int64_t>(m_rPictureTimes.size()) - 1;
    if (i64Gaps > 0 && i64Span > 0 && i64Span <= std::numeric_limits<int32_t>::max()) {
      av_reduce(&rRate.num, &rRate.den, i64Gaps * m_i64TimeBaseDen, i64Span * m_i64TimeBaseNum,
                std::numeric_limits<int32_t>::max());
    }
  }
  if (rRate.num <= 0 || rRate.den <= 0) {
    rRate = AVRational{25, 1};
  }
  m_i64FpsNum = rRate.num;
  m_i64FpsDen = rRate.den;
  m_f64Fps = av_q2d(rRate);
  count_frames();
}

// The frames cover the pictures' span, from the first picture's time to the
// end of the last one (its own duration, else one frame): frame n is on
// screen at n / fps. The span is taken a tick short (half a frame where a
// tick is longer), as muxers round timestamps to their time base.
void MovieDecoderC::count_frames() {
  // A tick is scale / frame frames.
  const __int128 i128Scale = static_cast<__int128>(m_i64FpsNum) * m_i64TimeBaseNum;
  const __int128 i128Frame = static_cast<__int128>(m_i64FpsDen) * m_i64TimeBaseDen;
  int64_t i64Last = m_i64LastPictureDuration;
  if (i64Last <= 0) {
    i64Last = static_cast<int64_t>(std::max<__int128>(1, (i128Frame + i128Scale / 2) / i128Scale));
  }
  const __int128 i128Span = static_cast<__int128>(m_i64LastPictureTime) - m_rPictureTimes.front() + i64Last;
  // In halves of a tick's share: count = ceil((span × scale - slack) / frame).
  const __int128 i128Numerator = 2 * i128Span * i128Scale - std::min(2 * i128Scale, i128Frame);
  const __int128 i128Count = i128Numerator > 0 ? (i128Numerator + 2 * i128Frame - 1) / (2 * i128Frame) : 1;
  m_i32FrameCount = static_cast<int32_t>(std::clamp<__int128>(i128Count, 1, MAX_FRAMES));
}

// The picture shown at i32Frame / fps: the last whose time from the first
// is before that time plus one tick, since muxers round timestamps to their
// time base.
size_t MovieDecoderC::picture_for_frame(int32_t i32Frame) const {
  const int64_t i64First = m_rPictureTimes.front();
  // x ticks lie before the frame's time when x × tb × fps < frame.
  const __int128 i128Limit = static_cast<__int128>(i32Frame) * m_i64FpsDen * m_i64TimeBaseDen;
  const __int128 i128Scale = static_cast<__int128>(m_i64FpsNum) * m_i64TimeBaseNum;
  const auto pAfter =
      std::partition_point(m_rPictureTimes.begin() + 1, m_rPictureTimes.end(), [&](int64_t i64Time) {
        return (static_cast<__int128>(i64Time) - i64First - 1) * i128Scale < i128Limit;
      });
  return static_cast<size_t>(pAfter - m_rPictureTimes.begin()) - 1;
}

bool MovieDecoderC::decode_frame(int32_t i32Frame, uint8_t* pOut) {
  if (i32Frame < 0 || i32Frame >= get_frame_count() || pOut == nullptr) {
    return false;
  }
  const int64_t i64Target = m_rPictureTimes[picture_for_frame(i32Frame)];
  if (!(m_bHasPicture && m_i64PictureTime == i64Target)) {
    if (!continues_to(i64Target)) {
      seek_before(i64Target);
    }
    if (!decode_until(i64Target)) {
      return false;
    }
  }
  if (!m_rTurn.turns()) {
    return m_pConverter->convert(m_pPicture, pOut);
  }
  if (m_pUnturned == nullptr) {
    m_pUnturned = allocate_picture(m_i32UnturnedWidth, m_i32UnturnedHeight, LAYOUT);
  }
  if (m_pUnturned == nullptr || !m_pConverter->convert(m_pPicture, m_pUnturned)) {
    return false;
  }
  turn_picture(m_pUnturned, m_i32UnturnedWidth, m_i32UnturnedHeight, picture_stride(m_i32UnturnedWidth, LAYOUT),
               m_rTurn, pOut, picture_stride(m_i32Width, LAYOUT));
  return true;
}

const MovieDecoderC::KeyFrameC* MovieDecoderC::key_frame_before(int64_t i64Target) const {
  const auto pKey = std::upper_bound(m_rKeyFrames.begin(), m_rKeyFrames.end(), i64Target,
                                     [](int64_t i64Time, const KeyFrameC& rKey) { return i64Time < rKey.m_i64Pts; });
  return pKey == m_rKeyFrames.begin() ? nullptr : &*std::prev(pKey);
}

// Decoding on is the shorter way unless pictures lie between the one shown
// and the key frame the target decodes from.
bool MovieDecoderC::continues_to(int64_t i64Target) const {
  if (!m_bPositioned || !m_bHasPicture || i64Target < m_i64PictureTime) {
    return false;
  }
  const KeyFrameC* pKey = key_frame_before(i64Target);
  if (pKey == nullptr || pKey->m_i64Pts <= m_i64PictureTime) {
    return true;
  }
  const auto pNext = std::upper_bound(m_rPictureTimes.begin(), m_rPictureTimes.end(), m_i64PictureTime);
  return pNext == m_rPictureTimes.end() || *pNext >= pKey->m_i64Pts;
}

void MovieDecoderC::seek_before(int64_t i64Target) {
  const KeyFrameC* pKey = key_frame_before(i64Target);
  const int64_t i64SeekTime = pKey == nullptr ? m_rPictureTimes.front() : pKey->m_i64SeekTime;
  // Landing early costs only decoding; the start is always early enough.
  if (av_seek_frame(m_pFormat, m_i32StreamIndex, i64SeekTime, AVSEEK_FLAG_BACKWARD) < 0) {
    av_seek_frame(m_pFormat, m_i32StreamIndex, std::numeric_limits<int64_t>::min(), AVSEEK_FLAG_BACKWARD);
  }
  avcodec_flush_buffers(m_pCodec);
  m_pFilter->reset();
  av_frame_unref(m_pPicture);
  m_bHasPicture = false;
  m_bKeySeen = false;
  m_bDraining = false;
  m_bPositioned = true;
  ++m_ui64Seeks;
}

// Decodes on until the picture with the target's time comes out (or a later
// one, when the target's own picture is lost). A decoder that refuses a
// packet is handed the next one.
bool MovieDecoderC::decode_until(int64_t i64Target) {
  int64_t i64Steps = 2 * static_cast<int64_t>(m_rPictureTimes.size()) + SPARE_STEPS;
  while (i64Steps-- > 0) {
    const int32_t i32Result = receive_picture();
    if (i32Result == 0) {
      av_frame_unref(m_pPicture);
      av_frame_move_ref(m_pPicture, m_pDecoded);
      m_bHasPicture = true;
      m_i64PictureTime = picture_time(m_pPicture);
      if (m_i64PictureTime >= i64Target) {
        return true;
      }
    } else if (i32Result == AVERROR_EOF) {
      m_bPositioned = false;
      return m_bHasPicture;
    } else if (!feed_packet()) {
      if (m_bDraining) {
        m_bPositioned = false;
        return m_bHasPicture;
      }
      avcodec_send_packet(m_pCodec, nullptr);
      m_bDraining = true;
    }
  }
  m_bPositioned = false;
  return m_bHasPicture;
}

// The next picture ready to show, into m_pDecoded: from the filter, which
// takes the decoder's pictures as it asks for them.
int32_t MovieDecoderC::receive_picture() {
  for (;;) {
    const int32_t i32Filtered = m_pFilter->receive(m_pDecoded);
    if (i32Filtered != AVERROR(EAGAIN)) {
      return i32Filtered;
    }
    const int32_t i32Decoded = avcodec_receive_frame(m_pCodec, m_pDecoded);
    if (i32Decoded == AVERROR_EOF) {
      m_pFilter->send_end();
    } else if (i32Decoded < 0) {
      return i32Decoded;
    } else {
      m_pFilter->send(m_pDecoded);
    }
  }
}

// After a seek, packets before the first key frame are left out: a demuxer
// may land anywhere before the wanted key frame.
bool MovieDecoderC::feed_packet() {
  if (m_bDraining) {
    return false;
  }
  while (av_read_frame(m_pFormat, m_pPacket) >= 0) {
    const bool bOurs = m_pPacket->stream_index == m_i32StreamIndex;
    m_bKeySeen = m_bKeySeen || (bOurs && (m_pPacket->flags & AV_PKT_FLAG_KEY) != 0);
    if (bOurs && m_bKeySeen) {
      avcodec_send_packet(m_pCodec, m_pPacket);
      av_packet_unref(m_pPacket);
      ++m_ui64PacketsDecoded;
      return true;
    }
    av_packet_unref(m_pPacket);
  }
  return false;
}
