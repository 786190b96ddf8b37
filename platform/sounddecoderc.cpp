#include "platform/sounddecoderc.h"

#include <cerrno>
#include <cstdint>

#include "platform/codecsettings.h"
#include "platform/soundlibrary.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

namespace {

// Music files come from documents we did not write: only the plain file
// protocol (no network, no nested references) and the demuxers of the music
// formats we play are allowed.
const char* const SOUND_PROTOCOLS = "file";
const char* const SOUND_FORMATS = "mp3,ogg,wav,w64,flac,aiff,libopenmpt";
// Hard limits against damaged files: the frames one decoded piece may expand
// to, and how many failures in a row end the file.
constexpr int32_t MAX_FRAMES_PER_PIECE = 1 << 19;
constexpr int32_t MAX_ERRORS_IN_A_ROW = 100;
// Work per decode() call before it hands control back.
constexpr int32_t MAX_STEPS_PER_CALL = 64;
// Seeks land this long before the wanted frame and decode up to it: MP3
// needs earlier frames for its bit reservoir and Opus to converge, else the
// first frames after a seek come out silent or wrong.
constexpr int64_t PREROLL_MS = 100;

int32_t open_error(int32_t i32AvError) {
  if (i32AvError == AVERROR(ENOENT)) {
    return SOUND_ERROR_FILE_NOT_FOUND;
  }
  if (i32AvError == AVERROR(EACCES) || i32AvError == AVERROR(EIO) || i32AvError == AVERROR(EISDIR) ||
      i32AvError == AVERROR(ENOMEM)) {
    return SOUND_ERROR_FILE_BAD;
  }
  return SOUND_ERROR_FILE_FORMAT;
}

}  // namespace

SoundDecoderC::~SoundDecoderC() {
  close();
}

void SoundDecoderC::close() {
  swr_free(&m_pResampler);
  av_frame_free(&m_pFrame);
  av_packet_free(&m_pPacket);
  avcodec_free_context(&m_pCodec);
  avformat_close_input(&m_pFormat);
  m_i32Stream = -1;
  m_i32InFormat = -1;
  m_bDraining = false;
  m_bEnd = false;
  m_i32Errors = 0;
  m_bLocate = false;
  m_i64Discard = 0;
}

int32_t SoundDecoderC::open(const char* szFileName, int32_t i32OutputRate) {
  close();
  m_sFileName = szFileName;
  m_i32OutputRate = i32OutputRate;
  codec_allocations_limit();

  // The protocol prefix keeps names with a colon from being taken as URLs.
  const std::string sUrl = std::string("file:") + szFileName;
  AVDictionary* pOptions = nullptr;
  av_dict_set(&pOptions, "protocol_whitelist", SOUND_PROTOCOLS, 0);
  av_dict_set(&pOptions, "format_whitelist", SOUND_FORMATS, 0);
  int32_t i32Ret = avformat_open_input(&m_pFormat, sUrl.c_str(), nullptr, &pOptions);
  av_dict_free(&pOptions);
  if (i32Ret < 0) {
    return open_error(i32Ret);
  }
  if (avformat_find_stream_info(m_pFormat, nullptr) < 0) {
    close();
    return SOUND_ERROR_FILE_FORMAT;
  }
  const AVCodec* pDecoder = nullptr;
  m_i32Stream = av_find_best_stream(m_pFormat, AVMEDIA_TYPE_AUDIO, -1, -1, &pDecoder, 0);
  if (m_i32Stream < 0 || !pDecoder) {
    close();
    return SOUND_ERROR_FILE_FORMAT;
  }
  for (uint32_t ui32Index = 0; ui32Index < m_pFormat->nb_streams; ++ui32Index) {
    if (static_cast<int32_t>(ui32Index) != m_i32Stream) {
      m_pFormat->streams[ui32Index]->discard = AVDISCARD_ALL;
    }
  }
  const AVStream* pStream = m_pFormat->streams[m_i32Stream];
  m_pCodec = avcodec_alloc_context3(pDecoder);
  m_pPacket = av_packet_alloc();
  m_pFrame = av_frame_alloc();
  if (!m_pCodec || !m_pPacket || !m_pFrame) {
    close();
    return SOUND_ERROR_MEMORY;
  }
  if (avcodec_parameters_to_context(m_pCodec, pStream->codecpar) < 0) {
    close();
    return SOUND_ERROR_FILE_FORMAT;
  }
  m_pCodec->pkt_timebase = pStream->time_base;
  if (avcodec_open2(m_pCodec, pDecoder, nullptr) < 0) {
    close();
    return SOUND_ERROR_FILE_BAD;
  }
  return SOUND_ERROR_NONE;
}

bool SoundDecoderC::count_error() {
  if (++m_i32Errors >= MAX_ERRORS_IN_A_ROW) {
    m_bEnd = true;
  }
  return m_bEnd;
}

SoundDecoderC::ResultE SoundDecoderC::decode(std::vector<float>& rOut) {
  for (int32_t i32Step = 0; i32Step < MAX_STEPS_PER_CALL && !m_bEnd; ++i32Step) {
    if (!m_pFormat) {
      m_bEnd = true;
      break;
    }
    int32_t i32Ret = avcodec_receive_frame(m_pCodec, m_pFrame);
    if (i32Ret == 0) {
      const bool bConverted = convert(m_pFrame, rOut);
      av_frame_unref(m_pFrame);
      if (!bConverted) {
        count_error();
        continue;
      }
      m_i32Errors = 0;
      if (!rOut.empty()) {
        return DECODE_DATA;
      }
      continue;
    }
    if (i32Ret == AVERROR_EOF) {
      flush_resampler(rOut);
      m_bEnd = true;
      break;
    }
    if (i32Ret != AVERROR(EAGAIN)) {
      count_error();
      continue;
    }
    if (m_bDraining) {
      // A drained decoder that still asks for input would never end.
      m_bEnd = true;
      break;
    }
    i32Ret = av_read_frame(m_pFormat, m_pPacket);
    if (i32Ret < 0) {
      // The end of the file, or a read error: play out what the decoder holds.
      avcodec_send_packet(m_pCodec, nullptr);
      m_bDraining = true;
      continue;
    }
    if (m_pPacket->stream_index == m_i32Stream) {
      i32Ret = avcodec_send_packet(m_pCodec, m_pPacket);
      if (i32Ret < 0 && i32Ret != AVERROR(EAGAIN)) {
        count_error();
      }
    }
    av_packet_unref(m_pPacket);
  }
  if (!rOut.empty()) {
    return DECODE_DATA;
  }
  return m_bEnd ? DECODE_END : DECODE_NOTHING_YET;
}

bool SoundDecoderC::configure_resampler(const AVFrame* pFrame) {
  const int32_t i32Channels = pFrame->ch_layout.nb_channels;
  const uint64_t ui64Key =
      pFrame->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? pFrame->ch_layout.u.mask : ~uint64_t(pFrame->ch_layout.order);
  if (m_pResampler && m_i32InFormat == pFrame->format && m_i32InRate == pFrame->sample_rate &&
      m_i32InChannels == i32Channels && m_ui64InLayoutKey == ui64Key) {
    return true;
  }
  swr_free(&m_pResampler);
  m_i32InFormat = -1;
  if (pFrame->sample_rate <= 0 || i32Channels <= 0 || i32Channels > 64) {
    return false;
  }
  // Files that do not name their channels get the usual layout for their count.
  AVChannelLayout rInLayout;
  if (pFrame->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&rInLayout, i32Channels);
  } else if (av_channel_layout_copy(&rInLayout, &pFrame->ch_layout) < 0) {
    return false;
  }
  AVChannelLayout rOutLayout = AV_CHANNEL_LAYOUT_STEREO;
  int32_t i32Ret = swr_alloc_set_opts2(&m_pResampler, &rOutLayout, AV_SAMPLE_FMT_FLT, m_i32OutputRate, &rInLayout,
                                       static_cast<AVSampleFormat>(pFrame->format), pFrame->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&rInLayout);
  if (i32Ret < 0 || swr_init(m_pResampler) < 0) {
    swr_free(&m_pResampler);
    return false;
  }
  m_i32InFormat = pFrame->format;
  m_i32InRate = pFrame->sample_rate;
  m_i32InChannels = i32Channels;
  m_ui64InLayoutKey = ui64Key;
  return true;
}

bool SoundDecoderC::convert(const AVFrame* pFrame, std::vector<float>& rOut) {
  if (pFrame->nb_samples <= 0) {
    return true;
  }
  if (!configure_resampler(pFrame)) {
    return false;
  }
  if (m_bLocate) {
    // A seek lands on a packet at or before the wanted frame; the first
    // timestamp tells how much to drop. Without one, trust the seek.
    m_bLocate = false;
    m_i64Discard = 0;
    // Damaged files can carry any timestamp: overflowing ones count as none.
    const AVStream* pStream = m_pFormat->streams[m_i32Stream];
    const int64_t i64Start = pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : 0;
    int64_t i64Ts = 0;
    if (pFrame->best_effort_timestamp != AV_NOPTS_VALUE &&
        !__builtin_sub_overflow(pFrame->best_effort_timestamp, i64Start, &i64Ts)) {
      const int64_t i64Frame = av_rescale_q(i64Ts, pStream->time_base, AVRational{1, m_i32OutputRate});
      if (i64Frame > INT64_MIN / 2 && i64Frame < m_i64Target) {
        m_i64Discard = m_i64Target - i64Frame;
      }
    }
  }
  const int32_t i32Capacity = swr_get_out_samples(m_pResampler, pFrame->nb_samples);
  if (i32Capacity < 0 || i32Capacity > MAX_FRAMES_PER_PIECE) {
    return false;
  }
  const size_t uiStart = rOut.size();
  rOut.resize(uiStart + static_cast<size_t>(i32Capacity) * 2);
  uint8_t* pDst = reinterpret_cast<uint8_t*>(rOut.data() + uiStart);
  const int32_t i32Frames = swr_convert(m_pResampler, &pDst, i32Capacity,
                                        const_cast<const uint8_t**>(pFrame->extended_data), pFrame->nb_samples);
  rOut.resize(uiStart + static_cast<size_t>(i32Frames > 0 ? i32Frames : 0) * 2);
  if (i32Frames < 0) {
    return false;
  }
  discard_leading(rOut, uiStart);
  return true;
}

void SoundDecoderC::flush_resampler(std::vector<float>& rOut) {
  if (!m_pResampler) {
    return;
  }
  const int32_t i32Capacity = swr_get_out_samples(m_pResampler, 0);
  if (i32Capacity <= 0 || i32Capacity > MAX_FRAMES_PER_PIECE) {
    return;
  }
  const size_t uiStart = rOut.size();
  rOut.resize(uiStart + static_cast<size_t>(i32Capacity) * 2);
  uint8_t* pDst = reinterpret_cast<uint8_t*>(rOut.data() + uiStart);
  const int32_t i32Frames = swr_convert(m_pResampler, &pDst, i32Capacity, nullptr, 0);
  rOut.resize(uiStart + static_cast<size_t>(i32Frames > 0 ? i32Frames : 0) * 2);
  discard_leading(rOut, uiStart);
}

void SoundDecoderC::discard_leading(std::vector<float>& rOut, size_t uiStart) {
  const int64_t i64Frames = static_cast<int64_t>((rOut.size() - uiStart) / 2);
  const int64_t i64Drop = m_i64Discard < i64Frames ? m_i64Discard : i64Frames;
  if (i64Drop > 0) {
    rOut.erase(rOut.begin() + static_cast<std::ptrdiff_t>(uiStart),
               rOut.begin() + static_cast<std::ptrdiff_t>(uiStart + static_cast<size_t>(i64Drop) * 2));
    m_i64Discard -= i64Drop;
  }
}

bool SoundDecoderC::seek_demuxer(int64_t i64Frame) {
  if (!m_pFormat) {
    return false;
  }
  const AVStream* pStream = m_pFormat->streams[m_i32Stream];
  const int64_t i64Start = pStream->start_time != AV_NOPTS_VALUE ? pStream->start_time : 0;
  const int64_t i64Preroll = m_i32OutputRate * PREROLL_MS / 1000;
  const int64_t i64From = i64Frame > i64Preroll ? i64Frame - i64Preroll : 0;
  int64_t i64Ts = 0;
  if (__builtin_add_overflow(av_rescale_q(i64From, AVRational{1, m_i32OutputRate}, pStream->time_base), i64Start,
                             &i64Ts) ||
      av_seek_frame(m_pFormat, m_i32Stream, i64Ts, AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(m_pCodec);
  swr_free(&m_pResampler);
  m_i32InFormat = -1;
  m_bDraining = false;
  m_bEnd = false;
  m_i32Errors = 0;
  m_bLocate = true;
  m_i64Target = i64Frame;
  m_i64Discard = 0;
  return true;
}

void SoundDecoderC::seek(int64_t i64Frame) {
  if (i64Frame > 0 && seek_demuxer(i64Frame)) {
    return;
  }
  // The start, or a file that cannot seek: open it afresh, which is exact,
  // and decode up to the wanted frame.
  const std::string sFileName = m_sFileName;
  if (open(sFileName.c_str(), m_i32OutputRate) != SOUND_ERROR_NONE) {
    close();
    m_bEnd = true;
    return;
  }
  m_i64Discard = i64Frame;
}
