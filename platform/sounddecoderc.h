#ifndef PLATFORM_SOUNDDECODERC_H
#define PLATFORM_SOUNDDECODERC_H

#include <cstdint>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVCodecContext;
struct AVPacket;
struct AVFrame;
struct SwrContext;

// Decodes one audio file into interleaved stereo float frames at the mixing
// rate. Not thread-safe: the stream's decoding thread owns it after open().
class SoundDecoderC {
 public:
  enum ResultE : int32_t { DECODE_DATA, DECODE_NOTHING_YET, DECODE_END };

  SoundDecoderC() = default;
  SoundDecoderC(const SoundDecoderC&) = delete;
  SoundDecoderC& operator=(const SoundDecoderC&) = delete;
  ~SoundDecoderC();

  // SOUND_ERROR_NONE, or the error code why the file cannot be played.
  int32_t open(const char* szFileName, int32_t i32OutputRate);
  // Appends the next decoded frames to rOut. Returns DECODE_NOTHING_YET after
  // a bounded amount of work without output, so the caller can react to
  // requests between calls; DECODE_END once no more data will come.
  ResultE decode(std::vector<float>& rOut);
  // The next frames decoded start at i64Frame (in frames of the output rate).
  void seek(int64_t i64Frame);

 private:
  void close();
  bool seek_demuxer(int64_t i64Frame);
  bool convert(const AVFrame* pFrame, std::vector<float>& rOut);
  bool configure_resampler(const AVFrame* pFrame);
  void flush_resampler(std::vector<float>& rOut);
  void discard_leading(std::vector<float>& rOut, size_t uiStart);
  bool count_error();

  std::string m_sFileName;
  int32_t m_i32OutputRate = 0;
  AVFormatContext* m_pFormat = nullptr;
  AVCodecContext* m_pCodec = nullptr;
  AVPacket* m_pPacket = nullptr;
  AVFrame* m_pFrame = nullptr;
  SwrContext* m_pResampler = nullptr;
  int32_t m_i32Stream = -1;
  // What the resampler was set up for; a change mid-file sets it up again.
  int32_t m_i32InFormat = -1;
  int32_t m_i32InRate = 0;
  uint64_t m_ui64InLayoutKey = 0;
  int32_t m_i32InChannels = 0;
  bool m_bDraining = false;
  bool m_bEnd = false;
  int32_t m_i32Errors = 0;
  // After a seek: the wanted frame, placed by the first decoded timestamp.
  bool m_bLocate = false;
  int64_t m_i64Target = 0;
  int64_t m_i64Discard = 0;
};

#endif
