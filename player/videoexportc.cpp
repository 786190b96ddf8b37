#include "player/videoexportc.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/sounddecoderc.h"
#include "platform/soundlibrary.h"
#include "player/playbackclockc.h"

namespace {

constexpr int32_t CHANNELS = 2;
// Sound goes to the encoder in pieces of at most this many sample frames.
constexpr int32_t SOUND_PIECE_FRAMES = 4096;
constexpr char TEMPORARY_SUFFIX[] = ".part";

}  // namespace

VideoExportC::VideoExportC(std::string sPath) : m_sPath(std::move(sPath)) {}

VideoExportC::~VideoExportC() {
  if (!m_sTemporaryPath.empty()) {
    std::remove(m_sTemporaryPath.c_str());
  }
}

bool VideoExportC::fail_encoder() {
  return fail("cannot export " + m_sPath + ": " + m_rEncoder.get_error());
}

bool VideoExportC::fail_system() {
  return fail("cannot export " + m_sPath + ": " + std::strerror(errno));
}

// A new file beside the video, named after it, that was no one's before:
// PATH.XXXXXX.part, the X random. It gets the mode any new file gets, not
// the 0600 of mkstemps.
bool VideoExportC::make_temporary() {
  std::string sName = m_sPath + ".XXXXXX" + TEMPORARY_SUFFIX;
  const int iFile = mkstemps(sName.data(), static_cast<int>(sizeof(TEMPORARY_SUFFIX) - 1));
  if (iFile < 0) {
    return fail_system();
  }
  ::close(iFile);
  m_sTemporaryPath = sName;
  const mode_t uiMask = umask(0);
  umask(uiMask);
  return chmod(m_sTemporaryPath.c_str(), 0666 & ~uiMask) == 0 || fail_system();
}

bool VideoExportC::open(const OutputFormatS& rFormat) {
  m_rTiming = rFormat.m_rTiming;
  const int64_t i64Frames = m_rTiming.get_end_frame() - m_rTiming.get_first_frame();
  if (m_rTiming.get_end_frame() < 0) {
    return fail("the presentation never reaches its end time, so it cannot be exported as a video");
  }
  if (i64Frames <= 0) {
    return fail("the presentation ends before its first frame: there is no video to export");
  }
  // The whole sound track lasts exactly as long as the presentation; a
  // span's sound goes from its first frame to where the next span's begins.
  m_i64SampleCount = m_rTiming.sound_end_sample(SAMPLE_RATE);
  if (!make_temporary()) {
    return false;
  }
  const FrameRateS rRate = m_rTiming.get_rate();
  if (!m_rEncoder.open(m_sTemporaryPath.c_str(), rFormat.m_i32Width, rFormat.m_i32Height, rRate.m_i32Numerator,
                       rRate.m_i32Denominator)) {
    return fail_encoder();
  }
  // A span's sound starts with its first frame, and so do the timestamps.
  m_i64SamplesWritten = m_rTiming.frame_start_sample(m_rTiming.get_first_frame(), SAMPLE_RATE);
  m_rEncoder.start_at(m_rTiming.get_first_frame(), m_i64SamplesWritten);
  open_music(rFormat.m_sMusicFileName, rFormat.m_sMusicFolder);
  if (m_pMusic && m_i64SamplesWritten > 0) {
    m_pMusic->seek(m_i64SamplesWritten);
  }
  return true;
}

// Looked for as the player looks for it; the player's texts say why not.
void VideoExportC::open_music(const std::string& rFileName, const std::string& rFolder) {
  if (rFileName.empty()) {
    return;
  }
  auto pMusic = std::make_unique<SoundDecoderC>();
  int32_t i32Error = SOUND_ERROR_NONE;
  const std::vector<std::string> rNames = music_file_candidates(rFileName, rFolder);
  for (const std::string& rName : rNames) {
    i32Error = pMusic->open(rName.c_str(), SAMPLE_RATE);
    if (i32Error == SOUND_ERROR_NONE) {
      m_pMusic = std::move(pMusic);
      return;
    }
  }
  std::fputs(music_not_found_text(rFileName, rNames, i32Error, "the video's sound track is silent").c_str(), stderr);
}

bool VideoExportC::write_frame(const uint8_t* pRgb, int64_t i64Frame) {
  if (!m_rEncoder.write_frame(pRgb)) {
    return fail_encoder();
  }
  // The sound up to the next frame's time goes with this frame.
  return write_sound_until(std::min(m_i64SampleCount, m_rTiming.frame_start_sample(i64Frame + 1, SAMPLE_RATE)));
}

bool VideoExportC::write_sound_until(int64_t i64Sample) {
  float rPiece[SOUND_PIECE_FRAMES * CHANNELS];
  while (m_i64SamplesWritten < i64Sample) {
    const int32_t i32Frames =
        static_cast<int32_t>(std::min<int64_t>(SOUND_PIECE_FRAMES, i64Sample - m_i64SamplesWritten));
    const int32_t i32Music = take_music(rPiece, i32Frames);
    // After the music's end: silence.
    std::fill(rPiece + i32Music * CHANNELS, rPiece + i32Frames * CHANNELS, 0.0f);
    if (!m_rEncoder.write_audio(rPiece, i32Frames)) {
      return fail_encoder();
    }
    m_i64SamplesWritten += i32Frames;
  }
  return true;
}

// Up to i32Frames sample frames of the music; fewer only once it has ended.
int32_t VideoExportC::take_music(float* pOut, int32_t i32Frames) {
  int32_t i32Taken = 0;
  while (i32Taken < i32Frames && m_pMusic) {
    if (m_uiDecodedUsed == m_rDecoded.size()) {
      m_rDecoded.clear();
      m_uiDecodedUsed = 0;
      if (m_pMusic->decode(m_rDecoded) == SoundDecoderC::DECODE_END) {
        m_pMusic.reset();
      }
      continue;
    }
    const size_t uiCopy =
        std::min(static_cast<size_t>(i32Frames - i32Taken) * CHANNELS, m_rDecoded.size() - m_uiDecodedUsed);
    std::copy_n(m_rDecoded.data() + m_uiDecodedUsed, uiCopy, pOut + static_cast<size_t>(i32Taken) * CHANNELS);
    m_uiDecodedUsed += uiCopy;
    i32Taken += static_cast<int32_t>(uiCopy / CHANNELS);
  }
  return i32Taken;
}

bool VideoExportC::finish() {
  if (!write_sound_until(m_i64SampleCount)) {
    return false;
  }
  if (!m_rEncoder.finish()) {
    return fail_encoder();
  }
  if (std::rename(m_sTemporaryPath.c_str(), m_sPath.c_str()) != 0) {
    return fail_system();
  }
  m_sTemporaryPath.clear();
  return true;
}
