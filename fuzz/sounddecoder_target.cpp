// SoundDecoderC, what music is decoded with for playing and for export,
// through the real libavformat, libavcodec and libswresample, on any bytes:
// the input's first bytes choose where to seek (see fuzzleadingnumbers.h);
// the rest is the music file.
#include <cstdint>
#include <vector>

#include "fuzz/fuzzinputfile.h"
#include "fuzz/fuzzleadingnumbers.h"
#include "fuzz/quietstderrc.h"
#include "platform/sounddecoderc.h"
#include "platform/soundlibrary.h"

namespace {

constexpr size_t MAX_SEEKS = 3;
constexpr int32_t OUTPUT_RATE = 44100;
// Enough to reach the end of any seed and of most damaged files, few enough
// that a file claiming hours of sound is not decoded whole every run.
constexpr int32_t MAX_CALLS = 2000;
constexpr size_t MAX_SAMPLES = static_cast<size_t>(OUTPUT_RATE) * 2 * 20;

// Decodes until the end, or as far as the bounds above let one run go.
void decode_on(SoundDecoderC& rDecoder) {
  std::vector<float> rOut;
  for (int32_t i = 0; i < MAX_CALLS && rOut.size() < MAX_SAMPLES; ++i) {
    if (rDecoder.decode(rOut) == SoundDecoderC::DECODE_END) {
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  std::vector<int32_t> rSeeks;
  if (!take_leading_numbers<int32_t>(pData, uiSize, MAX_SEEKS, rSeeks)) {
    return 0;
  }
  static const TempFileC s_rFile;
  write_fuzz_input(s_rFile, nullptr, 0, pData, uiSize);
  // FFmpeg complains of nearly every damaged file.
  QuietStderrC rQuiet;
  SoundDecoderC rDecoder;
  if (rDecoder.open(s_rFile.path(), OUTPUT_RATE) != SOUND_ERROR_NONE) {
    return 0;
  }
  decode_on(rDecoder);
  for (int32_t i32Seek : rSeeks) {
    // Anywhere within the first hour, forwards and backwards.
    rDecoder.seek(static_cast<int64_t>(static_cast<uint32_t>(i32Seek) % (OUTPUT_RATE * 3600)));
    decode_on(rDecoder);
  }
  return 0;
}
