#ifndef PLATFORM_VIDEOENCODERC_H
#define PLATFORM_VIDEOENCODERC_H

#include <cstdint>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

// Writes one MP4 file: H.264 video (libx264, 4:2:0, which ordinary players
// take) at a fixed frame rate, or pictures already encoded, copied; and a
// stereo AAC sound track.
class VideoEncoderC {
 public:
  // The sound track's rate, that of the player's music.
  static constexpr int32_t SAMPLE_RATE = 44100;

  VideoEncoderC() = default;
  VideoEncoderC(const VideoEncoderC&) = delete;
  VideoEncoderC& operator=(const VideoEncoderC&) = delete;
  // A file that was not finished is closed as it stands: incomplete.
  ~VideoEncoderC();

  // Creates the file (whatever its name, as MP4) for pictures of width ×
  // height at i32RateNumerator / i32RateDenominator a second and sound at
  // SAMPLE_RATE. False, with get_error() saying why, when the size cannot be
  // encoded or the file or an encoder cannot be opened. Until the file is
  // finished or the encoder is gone, FFmpeg (process-wide) reports only
  // errors.
  bool open(const char* szPath, int32_t i32Width, int32_t i32Height, int32_t i32RateNumerator,
            int32_t i32RateDenominator);
  // The same for pictures encoded elsewhere, as pVideo describes them, whose
  // packets come through write_copied_picture in the time base given.
  bool open_copying(const char* szPath, const AVCodecParameters* pVideo, int32_t i32TimeBaseNumerator,
                    int32_t i32TimeBaseDenominator, int32_t i32RateNumerator, int32_t i32RateDenominator);
  // Before the first picture and sound: their timestamps start at picture
  // i64Frame and sample i64Sample instead of 0.
  void start_at(int64_t i64Frame, int64_t i64Sample) {
    m_rVideo.m_i64NextPts = i64Frame;
    m_rAudio.m_i64NextPts = i64Sample;
  }
  // The next picture, 1 / fps after the one before: RGB, top row first,
  // width × height × 3 bytes.
  bool write_frame(const uint8_t* pRgb);
  // One packet of the copied pictures, timed in the time base open_copying
  // was given; the packet's own times and flags are kept.
  bool write_copied_picture(AVPacket* pPacket, int32_t i32TimeBaseNumerator, int32_t i32TimeBaseDenominator);
  // The next i32Frames stereo sample frames, interleaved floats in [-1, 1].
  bool write_audio(const float* pSamples, int32_t i32Frames);
  // Encodes what is held back, writes the index and closes the file.
  bool finish();
  const std::string& get_error() const { return m_sError; }

 private:
  struct TrackS {
    AVCodecContext* m_pCodec = nullptr;
    AVStream* m_pStream = nullptr;
    AVFrame* m_pFrame = nullptr;
    int64_t m_i64NextPts = 0;
  };

  bool begin_file(const char* szPath, std::string* pUrl);
  bool open_video(int32_t i32Width, int32_t i32Height, int32_t i32RateNumerator, int32_t i32RateDenominator);
  bool copy_video(const AVCodecParameters* pVideo, int32_t i32TimeBaseNumerator, int32_t i32TimeBaseDenominator,
                  int32_t i32RateNumerator, int32_t i32RateDenominator);
  bool open_audio();
  bool add_stream(TrackS* pTrack);
  bool write_packet(AVPacket* pPacket, AVStream* pStream, int32_t i32TimeBaseNumerator, int32_t i32TimeBaseDenominator);
  bool open_file(const char* szPath);
  bool send(TrackS* pTrack, AVFrame* pFrame);
  bool send_audio_frame(const float* pSamples, int32_t i32Frames);
  bool fail(const std::string& rWhat, int32_t i32AvError);
  void quiet_ffmpeg();
  void close();

  AVFormatContext* m_pFormat = nullptr;
  AVPacket* m_pPacket = nullptr;
  SwsContext* m_pConverter = nullptr;
  TrackS m_rVideo;
  TrackS m_rAudio;
  // Interleaved samples waiting for a whole encoder frame.
  std::vector<float> m_rPendingAudio;
  bool m_bHeaderWritten = false;
  // FFmpeg's log level before open, while it is lowered.
  bool m_bLogQuieted = false;
  int32_t m_i32LogLevel = 0;
  std::string m_sError;
};

// Why pictures of this size cannot go into a video; empty when they can.
std::string video_size_problem(int32_t i32Width, int32_t i32Height);

#endif
