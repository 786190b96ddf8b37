#include "platform/videoencoderc.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <climits>
#include <numeric>

#include "platform/picturesize.h"

namespace {

// The largest picture H.264 defines (level 6.2), in macroblocks of 16 × 16.
constexpr int64_t MAX_MACROBLOCKS = 139264;
constexpr int32_t CHANNELS = 2;
// Presentations are sharp edges and flat colours: a quality-bound rate keeps
// them clean, and "medium" is x264's balance of speed and size.
const char* const X264_PRESET = "medium";
const char* const X264_CRF = "18";
constexpr int64_t AUDIO_BIT_RATE = 192000;

// The MP4 muxer times each track in a unit of its own (for video, its time
// base's denominator doubled up to 10000 or more) but the edit lists that
// place a track's start, as a span's is, in the movie's: a unit both track
// units divide places both starts exactly, where milliseconds would move
// them by up to one.
int64_t movie_timescale(AVRational rVideoTimeBase) {
  int64_t i64Video = rVideoTimeBase.den;
  while (i64Video < 10000) {
    i64Video *= 2;
  }
  const int64_t i64Both = std::lcm(i64Video, static_cast<int64_t>(VideoEncoderC::SAMPLE_RATE));
  return i64Both <= INT32_MAX ? i64Both : VideoEncoderC::SAMPLE_RATE;
}

std::string av_error_text(int32_t i32AvError) {
  char szText[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(i32AvError, szText, sizeof(szText));
  return szText;
}

}  // namespace

std::string video_size_problem(int32_t i32Width, int32_t i32Height) {
  const std::string sSize = std::to_string(i32Width) + " x " + std::to_string(i32Height);
  if (i32Width <= 0 || i32Height <= 0 || i32Width > MAX_PICTURE_SIDE || i32Height > MAX_PICTURE_SIDE) {
    return "a video of " + sSize + " pixels cannot be made: each side must be 1 to " +
           std::to_string(MAX_PICTURE_SIDE);
  }
  if (i32Width % 2 != 0 || i32Height % 2 != 0) {
    return "a video of " + sSize + " pixels cannot be made: H.264 in 4:2:0 needs an even width and height";
  }
  const int64_t i64Blocks = ((i32Width + 15) / 16) * static_cast<int64_t>((i32Height + 15) / 16);
  if (i64Blocks > MAX_MACROBLOCKS) {
    return "a video of " + sSize + " pixels cannot be made: H.264 allows at most " + std::to_string(MAX_MACROBLOCKS) +
           " blocks of 16 x 16 pixels in a picture";
  }
  return "";
}

VideoEncoderC::~VideoEncoderC() {
  close();
}

void VideoEncoderC::close() {
  if (m_pFormat && m_pFormat->pb) {
    avio_closep(&m_pFormat->pb);
  }
  avformat_free_context(m_pFormat);
  m_pFormat = nullptr;
  for (TrackS* pTrack : {&m_rVideo, &m_rAudio}) {
    avcodec_free_context(&pTrack->m_pCodec);
    av_frame_free(&pTrack->m_pFrame);
    *pTrack = TrackS();
  }
  av_packet_free(&m_pPacket);
  sws_freeContext(m_pConverter);
  m_pConverter = nullptr;
  m_rPendingAudio.clear();
  m_bHeaderWritten = false;
  if (m_bLogQuieted) {
    av_log_set_level(m_i32LogLevel);
    m_bLogQuieted = false;
  }
}

// libx264 reports its settings and statistics, and the MP4 muxer its second
// pass, as information that would bury the export's own messages. The level
// is FFmpeg's for the whole process: it is lowered to errors only while a
// file is written (the music decoded for it included) and given back when
// the file is closed, after x264's closing statistics.
void VideoEncoderC::quiet_ffmpeg() {
  m_i32LogLevel = av_log_get_level();
  m_bLogQuieted = true;
  av_log_set_level(std::min(m_i32LogLevel, static_cast<int32_t>(AV_LOG_ERROR)));
}

bool VideoEncoderC::fail(const std::string& rWhat, int32_t i32AvError) {
  m_sError = i32AvError < 0 ? rWhat + ": " + av_error_text(i32AvError) : rWhat;
  return false;
}

// Everything both kinds of file begin with; *pUrl the file's name for FFmpeg.
bool VideoEncoderC::begin_file(const char* szPath, std::string* pUrl) {
  close();
  m_sError.clear();
  quiet_ffmpeg();
  // The protocol prefix keeps names with a colon from being taken as URLs.
  *pUrl = std::string("file:") + szPath;
  const int32_t i32Ret = avformat_alloc_output_context2(&m_pFormat, nullptr, "mp4", pUrl->c_str());
  m_pPacket = av_packet_alloc();
  if (i32Ret < 0 || !m_pPacket) {
    return fail("cannot set up an MP4 file", i32Ret < 0 ? i32Ret : AVERROR(ENOMEM));
  }
  return true;
}

bool VideoEncoderC::open(const char* szPath, int32_t i32Width, int32_t i32Height, int32_t i32RateNumerator,
                         int32_t i32RateDenominator) {
  const std::string sSizeProblem = video_size_problem(i32Width, i32Height);
  if (!sSizeProblem.empty()) {
    close();
    return fail(sSizeProblem, 0);
  }
  if (i32RateNumerator <= 0 || i32RateDenominator <= 0) {
    close();
    return fail("a video needs a positive frame rate", 0);
  }
  std::string sUrl;
  return begin_file(szPath, &sUrl) && open_video(i32Width, i32Height, i32RateNumerator, i32RateDenominator) &&
         open_audio() && open_file(sUrl.c_str());
}

bool VideoEncoderC::open_copying(const char* szPath, const AVCodecParameters* pVideo, int32_t i32TimeBaseNumerator,
                                 int32_t i32TimeBaseDenominator, int32_t i32RateNumerator,
                                 int32_t i32RateDenominator) {
  std::string sUrl;
  return begin_file(szPath, &sUrl) &&
         copy_video(pVideo, i32TimeBaseNumerator, i32TimeBaseDenominator, i32RateNumerator, i32RateDenominator) &&
         open_audio() && open_file(sUrl.c_str());
}

bool VideoEncoderC::copy_video(const AVCodecParameters* pVideo, int32_t i32TimeBaseNumerator,
                               int32_t i32TimeBaseDenominator, int32_t i32RateNumerator,
                               int32_t i32RateDenominator) {
  AVStream* pStream = avformat_new_stream(m_pFormat, nullptr);
  m_rVideo.m_pStream = pStream;
  if (!pStream) {
    return fail("cannot set up a stream for the pictures", AVERROR(ENOMEM));
  }
  const int32_t i32Ret = avcodec_parameters_copy(pStream->codecpar, pVideo);
  if (i32Ret < 0) {
    return fail("cannot set up a stream for the pictures", i32Ret);
  }
  pStream->codecpar->codec_tag = 0;
  pStream->time_base = AVRational{i32TimeBaseNumerator, i32TimeBaseDenominator};
  pStream->avg_frame_rate = AVRational{i32RateNumerator, i32RateDenominator};
  return true;
}

bool VideoEncoderC::open_video(int32_t i32Width, int32_t i32Height, int32_t i32RateNumerator,
                               int32_t i32RateDenominator) {
  const AVCodec* pEncoder = avcodec_find_encoder_by_name("libx264");
  if (!pEncoder) {
    return fail("this FFmpeg has no libx264 H.264 encoder", 0);
  }
  AVCodecContext* pCodec = avcodec_alloc_context3(pEncoder);
  m_rVideo.m_pCodec = pCodec;
  if (!pCodec) {
    return fail("cannot set up the H.264 encoder", AVERROR(ENOMEM));
  }
  pCodec->width = i32Width;
  pCodec->height = i32Height;
  pCodec->time_base = AVRational{i32RateDenominator, i32RateNumerator};
  pCodec->framerate = AVRational{i32RateNumerator, i32RateDenominator};
  pCodec->pix_fmt = AV_PIX_FMT_YUV420P;
  // Computer graphics in the usual HD colours, said in the file so that
  // players convert back as we converted.
  pCodec->color_range = AVCOL_RANGE_MPEG;
  pCodec->colorspace = AVCOL_SPC_BT709;
  pCodec->color_primaries = AVCOL_PRI_BT709;
  pCodec->color_trc = AVCOL_TRC_BT709;
  av_opt_set(pCodec->priv_data, "preset", X264_PRESET, 0);
  av_opt_set(pCodec->priv_data, "crf", X264_CRF, 0);
  if (!add_stream(&m_rVideo)) {
    return false;
  }
  m_rVideo.m_pStream->avg_frame_rate = pCodec->framerate;

  AVFrame* pFrame = av_frame_alloc();
  m_rVideo.m_pFrame = pFrame;
  if (!pFrame) {
    return fail("cannot set up the H.264 encoder", AVERROR(ENOMEM));
  }
  pFrame->format = AV_PIX_FMT_YUV420P;
  pFrame->width = i32Width;
  pFrame->height = i32Height;
  int32_t i32Ret = av_frame_get_buffer(pFrame, 0);
  if (i32Ret < 0) {
    return fail("cannot set up the H.264 encoder", i32Ret);
  }
  m_pConverter = sws_getContext(i32Width, i32Height, AV_PIX_FMT_RGB24, i32Width, i32Height, AV_PIX_FMT_YUV420P,
                                SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!m_pConverter) {
    return fail("cannot set up the colour conversion to 4:2:0", 0);
  }
  const int* pBt709 = sws_getCoefficients(SWS_CS_ITU709);
  sws_setColorspaceDetails(m_pConverter, pBt709, 1, pBt709, 0, 0, 1 << 16, 1 << 16);
  return true;
}

bool VideoEncoderC::open_audio() {
  const int32_t i32SampleRate = SAMPLE_RATE;
  const AVCodec* pEncoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
  if (!pEncoder) {
    return fail("this FFmpeg has no AAC encoder", 0);
  }
  AVCodecContext* pCodec = avcodec_alloc_context3(pEncoder);
  m_rAudio.m_pCodec = pCodec;
  if (!pCodec) {
    return fail("cannot set up the AAC encoder", AVERROR(ENOMEM));
  }
  pCodec->sample_fmt = AV_SAMPLE_FMT_FLTP;
  pCodec->sample_rate = i32SampleRate;
  pCodec->time_base = AVRational{1, i32SampleRate};
  pCodec->bit_rate = AUDIO_BIT_RATE;
  const AVChannelLayout rStereo = AV_CHANNEL_LAYOUT_STEREO;
  int32_t i32Ret = av_channel_layout_copy(&pCodec->ch_layout, &rStereo);
  if (i32Ret < 0) {
    return fail("cannot set up the AAC encoder", i32Ret);
  }
  if (!add_stream(&m_rAudio)) {
    return false;
  }
  AVFrame* pFrame = av_frame_alloc();
  m_rAudio.m_pFrame = pFrame;
  if (!pFrame) {
    return fail("cannot set up the AAC encoder", AVERROR(ENOMEM));
  }
  pFrame->format = AV_SAMPLE_FMT_FLTP;
  pFrame->sample_rate = i32SampleRate;
  pFrame->nb_samples = pCodec->frame_size;
  i32Ret = av_channel_layout_copy(&pFrame->ch_layout, &rStereo);
  if (i32Ret >= 0) {
    i32Ret = av_frame_get_buffer(pFrame, 0);
  }
  if (i32Ret < 0) {
    return fail("cannot set up the AAC encoder", i32Ret);
  }
  return true;
}

// Opens the track's encoder and gives it a stream of the file.
bool VideoEncoderC::add_stream(TrackS* pTrack) {
  AVCodecContext* pCodec = pTrack->m_pCodec;
  const char* szName = pCodec->codec_type == AVMEDIA_TYPE_VIDEO ? "the H.264 encoder" : "the AAC encoder";
  if (m_pFormat->oformat->flags & AVFMT_GLOBALHEADER) {
    pCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  int32_t i32Ret = avcodec_open2(pCodec, pCodec->codec, nullptr);
  if (i32Ret < 0) {
    return fail(std::string("cannot open ") + szName, i32Ret);
  }
  pTrack->m_pStream = avformat_new_stream(m_pFormat, nullptr);
  if (!pTrack->m_pStream) {
    return fail(std::string("cannot set up a stream for ") + szName, AVERROR(ENOMEM));
  }
  pTrack->m_pStream->time_base = pCodec->time_base;
  i32Ret = avcodec_parameters_from_context(pTrack->m_pStream->codecpar, pCodec);
  if (i32Ret < 0) {
    return fail(std::string("cannot set up a stream for ") + szName, i32Ret);
  }
  return true;
}

bool VideoEncoderC::open_file(const char* szUrl) {
  int32_t i32Ret = avio_open(&m_pFormat->pb, szUrl, AVIO_FLAG_WRITE);
  if (i32Ret < 0) {
    return fail("cannot create the file", i32Ret);
  }
  // The index at the front: players can start before the whole file is there.
  AVDictionary* pOptions = nullptr;
  av_dict_set(&pOptions, "movflags", "+faststart", 0);
  av_dict_set_int(&pOptions, "movie_timescale", movie_timescale(m_rVideo.m_pStream->time_base), 0);
  i32Ret = avformat_write_header(m_pFormat, &pOptions);
  av_dict_free(&pOptions);
  if (i32Ret < 0) {
    return fail("cannot write the file", i32Ret);
  }
  m_bHeaderWritten = true;
  return true;
}

// Hands pFrame (null: the end) to the track's encoder and writes out every
// packet it has ready.
bool VideoEncoderC::send(TrackS* pTrack, AVFrame* pFrame) {
  int32_t i32Ret = avcodec_send_frame(pTrack->m_pCodec, pFrame);
  if (i32Ret < 0) {
    return fail("cannot encode", i32Ret);
  }
  for (;;) {
    i32Ret = avcodec_receive_packet(pTrack->m_pCodec, m_pPacket);
    if (i32Ret == AVERROR(EAGAIN) || i32Ret == AVERROR_EOF) {
      return true;
    }
    if (i32Ret < 0) {
      return fail("cannot encode", i32Ret);
    }
    if (!write_packet(m_pPacket, pTrack->m_pStream, pTrack->m_pCodec->time_base.num,
                      pTrack->m_pCodec->time_base.den)) {
      return false;
    }
  }
}

bool VideoEncoderC::write_packet(AVPacket* pPacket, AVStream* pStream, int32_t i32TimeBaseNumerator,
                                 int32_t i32TimeBaseDenominator) {
  av_packet_rescale_ts(pPacket, AVRational{i32TimeBaseNumerator, i32TimeBaseDenominator}, pStream->time_base);
  pPacket->stream_index = pStream->index;
  const int32_t i32Ret = av_interleaved_write_frame(m_pFormat, pPacket);
  return i32Ret >= 0 || fail("cannot write the file", i32Ret);
}

bool VideoEncoderC::write_copied_picture(AVPacket* pPacket, int32_t i32TimeBaseNumerator,
                                         int32_t i32TimeBaseDenominator) {
  if (!m_bHeaderWritten || m_rVideo.m_pCodec) {
    return fail("the file is not open for copied pictures", 0);
  }
  return write_packet(pPacket, m_rVideo.m_pStream, i32TimeBaseNumerator, i32TimeBaseDenominator);
}

bool VideoEncoderC::write_frame(const uint8_t* pRgb) {
  if (!m_bHeaderWritten || !m_rVideo.m_pCodec) {
    return fail("the file is not open for pictures", 0);
  }
  AVFrame* pFrame = m_rVideo.m_pFrame;
  // The encoder may still hold the last picture's buffer.
  int32_t i32Ret = av_frame_make_writable(pFrame);
  if (i32Ret < 0) {
    return fail("cannot encode", i32Ret);
  }
  const uint8_t* rSource[1] = {pRgb};
  const int rSourceStride[1] = {pFrame->width * 3};
  sws_scale(m_pConverter, rSource, rSourceStride, 0, pFrame->height, pFrame->data, pFrame->linesize);
  pFrame->pts = m_rVideo.m_i64NextPts++;
  return send(&m_rVideo, pFrame);
}

bool VideoEncoderC::write_audio(const float* pSamples, int32_t i32Frames) {
  if (!m_bHeaderWritten) {
    return fail("the file is not open", 0);
  }
  m_rPendingAudio.insert(m_rPendingAudio.end(), pSamples, pSamples + static_cast<size_t>(i32Frames) * CHANNELS);
  const int32_t i32FrameSize = m_rAudio.m_pCodec->frame_size;
  size_t uiUsed = 0;
  bool bSent = true;
  while (bSent && m_rPendingAudio.size() - uiUsed >= static_cast<size_t>(i32FrameSize) * CHANNELS) {
    bSent = send_audio_frame(m_rPendingAudio.data() + uiUsed, i32FrameSize);
    uiUsed += static_cast<size_t>(i32FrameSize) * CHANNELS;
  }
  m_rPendingAudio.erase(m_rPendingAudio.begin(), m_rPendingAudio.begin() + static_cast<std::ptrdiff_t>(uiUsed));
  return bSent;
}

bool VideoEncoderC::send_audio_frame(const float* pSamples, int32_t i32Frames) {
  AVFrame* pFrame = m_rAudio.m_pFrame;
  int32_t i32Ret = av_frame_make_writable(pFrame);
  if (i32Ret < 0) {
    return fail("cannot encode", i32Ret);
  }
  // Only the last frame is shorter than the encoder's frame size.
  pFrame->nb_samples = i32Frames;
  float* pLeft = reinterpret_cast<float*>(pFrame->data[0]);
  float* pRight = reinterpret_cast<float*>(pFrame->data[1]);
  for (int32_t i = 0; i < i32Frames; ++i) {
    pLeft[i] = pSamples[i * CHANNELS];
    pRight[i] = pSamples[i * CHANNELS + 1];
  }
  pFrame->pts = m_rAudio.m_i64NextPts;
  m_rAudio.m_i64NextPts += i32Frames;
  return send(&m_rAudio, pFrame);
}

bool VideoEncoderC::finish() {
  if (!m_bHeaderWritten) {
    return fail("the file is not open", 0);
  }
  const int32_t i32Rest = static_cast<int32_t>(m_rPendingAudio.size() / CHANNELS);
  if (i32Rest > 0 && !send_audio_frame(m_rPendingAudio.data(), i32Rest)) {
    return false;
  }
  m_rPendingAudio.clear();
  // Copied pictures have no encoder to drain.
  if ((m_rVideo.m_pCodec && !send(&m_rVideo, nullptr)) || !send(&m_rAudio, nullptr)) {
    return false;
  }
  int32_t i32Ret = av_write_trailer(m_pFormat);
  if (i32Ret < 0) {
    return fail("cannot write the file", i32Ret);
  }
  i32Ret = avio_closep(&m_pFormat->pb);
  if (i32Ret < 0) {
    return fail("cannot write the file", i32Ret);
  }
  close();
  return true;
}
