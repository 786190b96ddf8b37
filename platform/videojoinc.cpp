#include "platform/videojoinc.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/codecsettings.h"
#include "platform/videoencoderc.h"

namespace {

constexpr int32_t CHANNELS = 2;
// What the pieces' sound may be off from meeting the piece before: one
// millisecond of 44100 samples.
constexpr int64_t JOIN_TOLERANCE_SAMPLES = 44;

std::string av_error_text(int32_t i32AvError) {
  char szText[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(i32AvError, szText, sizeof(szText));
  return szText;
}

struct FormatDeleterS {
  void operator()(AVFormatContext* pFormat) const { avformat_close_input(&pFormat); }
};
struct CodecDeleterS {
  void operator()(AVCodecContext* pCodec) const { avcodec_free_context(&pCodec); }
};
struct PacketDeleterS {
  void operator()(AVPacket* pPacket) const { av_packet_free(&pPacket); }
};
struct FrameDeleterS {
  void operator()(AVFrame* pFrame) const { av_frame_free(&pFrame); }
};

// One piece, opened: its first video and audio streams, and the decoder of
// its sound.
struct PieceS {
  std::string m_sPath;
  std::unique_ptr<AVFormatContext, FormatDeleterS> m_pFormat;
  AVStream* m_pVideo = nullptr;
  AVStream* m_pAudio = nullptr;
  std::unique_ptr<AVCodecContext, CodecDeleterS> m_pDecoder;
};

// The pictures and the sound of the pieces so far, and where each ends.
struct JoinStateS {
  VideoEncoderC m_rEncoder;
  std::unique_ptr<AVPacket, PacketDeleterS> m_pPacket{av_packet_alloc()};
  std::unique_ptr<AVFrame, FrameDeleterS> m_pFrame{av_frame_alloc()};
  std::vector<float> m_rInterleaved;
  bool m_bStarted = false;
  int64_t m_i64NextPts = 0;     // the picture after the last, in the video's time base
  int64_t m_i64NextSample = 0;  // the sample after the last written
  int64_t m_i64PieceEnd = 0;    // where the sound of the piece being read ends
  int64_t m_i64Pictures = 0;
};

std::string open_piece(const std::string& rPath, PieceS* pPiece) {
  pPiece->m_sPath = rPath;
  codec_allocations_limit();
  AVFormatContext* pFormat = nullptr;
  // The protocol prefix keeps names with a colon from being taken as URLs.
  const std::string sUrl = "file:" + rPath;
  AVDictionary* pOptions = nullptr;
  av_dict_set(&pOptions, "protocol_whitelist", "file", 0);
  int32_t i32Ret = avformat_open_input(&pFormat, sUrl.c_str(), av_find_input_format("mp4"), &pOptions);
  av_dict_free(&pOptions);
  if (i32Ret < 0) {
    return "cannot read " + rPath + ": " + av_error_text(i32Ret);
  }
  pPiece->m_pFormat.reset(pFormat);
  i32Ret = avformat_find_stream_info(pFormat, nullptr);
  if (i32Ret < 0) {
    return "cannot read " + rPath + ": " + av_error_text(i32Ret);
  }
  for (unsigned int i = 0; i < pFormat->nb_streams; ++i) {
    AVStream* pStream = pFormat->streams[i];
    const AVCodecParameters* pParams = pStream->codecpar;
    if (pParams->codec_id == AV_CODEC_ID_H264 && !pPiece->m_pVideo) {
      pPiece->m_pVideo = pStream;
    } else if (pParams->codec_id == AV_CODEC_ID_AAC && !pPiece->m_pAudio &&
               pParams->sample_rate == VideoEncoderC::SAMPLE_RATE && pParams->ch_layout.nb_channels == CHANNELS) {
      pPiece->m_pAudio = pStream;
    } else {
      pStream->discard = AVDISCARD_ALL;
    }
  }
  if (!pPiece->m_pVideo || !pPiece->m_pAudio) {
    return rPath + " is not a video tiravo rendered: it needs H.264 pictures and stereo AAC sound at 44100 Hz";
  }
  const AVCodec* pCodec = avcodec_find_decoder(AV_CODEC_ID_AAC);
  AVCodecContext* pDecoder = pCodec ? avcodec_alloc_context3(pCodec) : nullptr;
  pPiece->m_pDecoder.reset(pDecoder);
  if (!pDecoder || avcodec_parameters_to_context(pDecoder, pPiece->m_pAudio->codecpar) < 0 ||
      avcodec_open2(pDecoder, pCodec, nullptr) < 0) {
    return "cannot decode the sound of " + rPath;
  }
  pDecoder->pkt_timebase = pPiece->m_pAudio->time_base;
  return "";
}

// The pictures of every piece must be alike, as one render's are.
std::string check_alike(const PieceS& rFirst, const PieceS& rPiece) {
  const AVCodecParameters* pA = rFirst.m_pVideo->codecpar;
  const AVCodecParameters* pB = rPiece.m_pVideo->codecpar;
  const bool bAlike = pA->width == pB->width && pA->height == pB->height && pA->format == pB->format &&
                      av_cmp_q(rFirst.m_pVideo->time_base, rPiece.m_pVideo->time_base) == 0 &&
                      av_cmp_q(rFirst.m_pVideo->avg_frame_rate, rPiece.m_pVideo->avg_frame_rate) == 0 &&
                      pA->extradata_size == pB->extradata_size &&
                      (pA->extradata_size == 0 || std::memcmp(pA->extradata, pB->extradata, pA->extradata_size) == 0);
  return bAlike ? "" : rPiece.m_sPath + " is not a piece of the same render as " + rFirst.m_sPath +
                           ": its pictures differ in size, rate or encoding";
}

std::string seconds_text(int64_t i64Value, AVRational rTimeBase) {
  char szText[32];
  std::snprintf(szText, sizeof(szText), "%.3f s", static_cast<double>(i64Value) * av_q2d(rTimeBase));
  return szText;
}

// The decoded sound of the piece, as far as the piece's sound goes, from
// where the sound so far ends.
bool take_sound(const PieceS& rPiece, JoinStateS* pState, std::string* pError) {
  AVFrame* pFrame = pState->m_pFrame.get();
  for (;;) {
    const int32_t i32Ret = avcodec_receive_frame(rPiece.m_pDecoder.get(), pFrame);
    if (i32Ret == AVERROR(EAGAIN) || i32Ret == AVERROR_EOF) {
      return true;
    }
    if (i32Ret < 0) {
      *pError = "cannot decode the sound of " + rPiece.m_sPath + ": " + av_error_text(i32Ret);
      return false;
    }
    const int64_t i64First =
        av_rescale_q(pFrame->best_effort_timestamp, rPiece.m_pAudio->time_base, AVRational{1, pFrame->sample_rate});
    const int64_t i64From = std::max(pState->m_i64NextSample, i64First);
    const int64_t i64To = std::min(pState->m_i64PieceEnd, i64First + pFrame->nb_samples);
    if (i64To > i64From && pFrame->format == AV_SAMPLE_FMT_FLTP && pFrame->ch_layout.nb_channels == CHANNELS) {
      const auto* pLeft = reinterpret_cast<const float*>(pFrame->extended_data[0]);
      const auto* pRight = reinterpret_cast<const float*>(pFrame->extended_data[1]);
      pState->m_rInterleaved.clear();
      for (int64_t i = i64From - i64First; i < i64To - i64First; ++i) {
        pState->m_rInterleaved.push_back(pLeft[i]);
        pState->m_rInterleaved.push_back(pRight[i]);
      }
      if (!pState->m_rEncoder.write_audio(pState->m_rInterleaved.data(), static_cast<int32_t>(i64To - i64From))) {
        *pError = pState->m_rEncoder.get_error();
        return false;
      }
      pState->m_i64NextSample = i64To;
    }
    av_frame_unref(pFrame);
  }
}

// Where the piece's pictures and sound begin and end must be where the
// pieces before it ended.
std::string check_follows(const PieceS& rPiece, const JoinStateS& rState, int64_t i64Start, int64_t i64SoundStart) {
  const AVRational rTimeBase = rPiece.m_pVideo->time_base;
  if (rState.m_bStarted && i64Start != rState.m_i64NextPts) {
    return rPiece.m_sPath + " does not begin where the piece before it ends: its pictures begin at " +
           seconds_text(i64Start, rTimeBase) + ", the pieces before end at " +
           seconds_text(rState.m_i64NextPts, rTimeBase);
  }
  if (rState.m_bStarted && std::llabs(i64SoundStart - rState.m_i64NextSample) > JOIN_TOLERANCE_SAMPLES) {
    const AVRational rSamples{1, VideoEncoderC::SAMPLE_RATE};
    return rPiece.m_sPath + " does not begin where the piece before it ends: its sound begins at " +
           seconds_text(i64SoundStart, rSamples) + ", the sound before ends at " +
           seconds_text(rState.m_i64NextSample, rSamples);
  }
  return "";
}

// The first picture's time, and where the piece's sound begins: with it.
// The sound track itself begins earlier by the encoder's delay, whose
// samples are not the music's.
void piece_start(const PieceS& rPiece, int64_t* pStart, int64_t* pSoundStart) {
  *pStart = rPiece.m_pVideo->start_time == AV_NOPTS_VALUE ? 0 : rPiece.m_pVideo->start_time;
  *pSoundStart = av_rescale_q_rnd(*pStart, rPiece.m_pVideo->time_base, AVRational{1, VideoEncoderC::SAMPLE_RATE},
                                  AV_ROUND_DOWN);
}

// Where the piece's sound ends: where its track ends.
int64_t piece_sound_end(const PieceS& rPiece) {
  const AVStream* pAudio = rPiece.m_pAudio;
  const int64_t i64Start = pAudio->start_time == AV_NOPTS_VALUE ? 0 : pAudio->start_time;
  return av_rescale_q(i64Start + pAudio->duration, pAudio->time_base, AVRational{1, VideoEncoderC::SAMPLE_RATE});
}

bool copy_piece(const PieceS& rPiece, JoinStateS* pState, std::string* pError) {
  int64_t i64Start = 0;
  int64_t i64SoundStart = 0;
  piece_start(rPiece, &i64Start, &i64SoundStart);
  *pError = check_follows(rPiece, *pState, i64Start, i64SoundStart);
  if (!pError->empty()) {
    return false;
  }
  if (!pState->m_bStarted) {
    pState->m_rEncoder.start_at(0, i64SoundStart);
    pState->m_bStarted = true;
  }
  // Whatever the piece holds before its first picture is its encoder's delay.
  pState->m_i64NextSample = i64SoundStart;
  pState->m_i64PieceEnd = piece_sound_end(rPiece);
  const int64_t i64FrameTicks = av_rescale_q(1, av_inv_q(rPiece.m_pVideo->avg_frame_rate), rPiece.m_pVideo->time_base);
  AVPacket* pPacket = pState->m_pPacket.get();
  int32_t i32Ret = 0;
  while ((i32Ret = av_read_frame(rPiece.m_pFormat.get(), pPacket)) >= 0) {
    bool bOk = true;
    if (pPacket->stream_index == rPiece.m_pVideo->index) {
      pState->m_i64NextPts = std::max(pState->m_i64NextPts, pPacket->pts + i64FrameTicks);
      ++pState->m_i64Pictures;
      bOk = pState->m_rEncoder.write_copied_picture(pPacket, rPiece.m_pVideo->time_base.num,
                                                     rPiece.m_pVideo->time_base.den);
      if (!bOk) {
        *pError = pState->m_rEncoder.get_error();
      }
    } else if (pPacket->stream_index == rPiece.m_pAudio->index) {
      i32Ret = avcodec_send_packet(rPiece.m_pDecoder.get(), pPacket);
      bOk = (i32Ret >= 0 || i32Ret == AVERROR_INVALIDDATA) && take_sound(rPiece, pState, pError);
    }
    av_packet_unref(pPacket);
    if (!bOk) {
      return false;
    }
  }
  if (i32Ret != AVERROR_EOF) {
    *pError = "cannot read " + rPiece.m_sPath + ": " + av_error_text(i32Ret);
    return false;
  }
  avcodec_send_packet(rPiece.m_pDecoder.get(), nullptr);
  return take_sound(rPiece, pState, pError);
}

}  // namespace

bool VideoJoinC::join(const std::string& rOutput, const std::vector<std::string>& rPieces) {
  m_sError.clear();
  m_i64Pictures = 0;
  m_i64Samples = 0;
  if (rPieces.empty()) {
    return fail("no pieces to join");
  }
  std::vector<PieceS> rOpened(rPieces.size());
  for (size_t i = 0; i < rPieces.size(); ++i) {
    std::string sError = open_piece(rPieces[i], &rOpened[i]);
    if (sError.empty()) {
      sError = check_alike(rOpened[0], rOpened[i]);
    }
    if (!sError.empty()) {
      return fail(sError);
    }
  }
  JoinStateS rState;
  const AVStream* pVideo = rOpened[0].m_pVideo;
  if (!rState.m_pPacket || !rState.m_pFrame ||
      !rState.m_rEncoder.open_copying(rOutput.c_str(), pVideo->codecpar, pVideo->time_base.num,
                                      pVideo->time_base.den, pVideo->avg_frame_rate.num, pVideo->avg_frame_rate.den)) {
    return fail("cannot write " + rOutput + ": " + rState.m_rEncoder.get_error());
  }
  std::string sError;
  for (const PieceS& rPiece : rOpened) {
    if (!copy_piece(rPiece, &rState, &sError)) {
      std::remove(rOutput.c_str());
      return fail(sError);
    }
  }
  if (!rState.m_rEncoder.finish()) {
    std::remove(rOutput.c_str());
    return fail("cannot write " + rOutput + ": " + rState.m_rEncoder.get_error());
  }
  int64_t i64Start = 0;
  int64_t i64SoundStart = 0;
  piece_start(rOpened[0], &i64Start, &i64SoundStart);
  m_i64Pictures = rState.m_i64Pictures;
  m_i64Samples = rState.m_i64NextSample - i64SoundStart;
  return true;
}
