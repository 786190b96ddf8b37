#ifndef PLAYER_VIDEOEXPORTC_H
#define PLAYER_VIDEOEXPORTC_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/videoencoderc.h"
#include "player/frameoutputc.h"

class SoundDecoderC;

// The frames as one MP4 file, H.264 with the document's music as AAC, cut or
// padded with silence to the presentation's length. The file is written
// under a new temporary name beside it and takes its own only once complete.
class VideoExportC : public FrameOutputC {
 public:
  static constexpr int32_t SAMPLE_RATE = VideoEncoderC::SAMPLE_RATE;

  explicit VideoExportC(std::string sPath);
  VideoExportC(const VideoExportC&) = delete;
  VideoExportC& operator=(const VideoExportC&) = delete;
  // Removes the temporary file of an export that did not finish.
  ~VideoExportC() override;

  bool needs_even_size() const override { return true; }
  // Refuses presentations without frames or without an end; a music file
  // that cannot be opened is said, and the sound track is silent.
  bool open(const OutputFormatS& rFormat) override;
  bool write_frame(const uint8_t* pRgb, int64_t i64Frame) override;
  bool finish() override;

 private:
  void open_music(const std::string& rFileName, const std::string& rFolder);
  bool write_sound_until(int64_t i64Sample);
  int32_t take_music(float* pOut, int32_t i32Frames);
  bool fail_encoder();
  bool fail_system();
  bool make_temporary();

  std::string m_sPath;
  std::string m_sTemporaryPath;  // empty: none of ours exists
  VideoEncoderC m_rEncoder;
  FrameTimingC m_rTiming{FrameRateS(), -1};
  std::unique_ptr<SoundDecoderC> m_pMusic;  // null: silence
  std::vector<float> m_rDecoded;            // interleaved stereo, from the music
  size_t m_uiDecodedUsed = 0;
  int64_t m_i64SamplesWritten = 0;
  int64_t m_i64SampleCount = 0;
};

#endif
