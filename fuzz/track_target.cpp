// One keyframe track loaded from the input, prepared, then evaluated at
// times the input chooses.
//   byte 0: number of times n (at most 32 are used)
//   bytes 1 .. 4n: each a signed 32-bit time, little endian
//   the rest: the track's level, as a document stores it (settings and key
//   chunks), which the target wraps in a document's signature and one chunk.
// When every float a key holds is finite, every value must be finite too,
// however large the floats are.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "docfile/chunkreaderc.h"
#include "fuzz/fuzzleadingnumbers.h"
#include "fuzz/fuzzinputfile.h"

namespace {

constexpr size_t MAX_TIMES = 32;
bool key_is_finite(AnimKeyC* pKey) {
  float rValues[KEY_MAX_VALUES] = {0, 0, 0, 0};
  pKey->get_values(rValues);
  for (float f32Value : rValues) {
    if (!std::isfinite(f32Value)) {
      return false;
    }
  }
  for (float f32Value :
       {pKey->get_ease_in(), pKey->get_ease_out(), pKey->get_tension(), pKey->get_continuity(), pKey->get_bias()}) {
    if (!std::isfinite(f32Value)) {
      return false;
    }
  }
  return true;
}

void put_u32(std::vector<uint8_t>& rBytes, uint32_t ui32Value) {
  for (int32_t i = 0; i < 4; ++i) {
    rBytes.push_back(static_cast<uint8_t>(ui32Value >> (8 * i)));
  }
}

[[noreturn]] void report_non_finite(AnimTrackC* pTrack, int32_t i32Time, const float* pValues) {
  std::fprintf(stderr, "track value not finite at time %d: %g %g %g %g\n", i32Time, pValues[0], pValues[1],
               pValues[2], pValues[3]);
  std::fprintf(stderr, "track type %d, %d values, modes %d/%d, %d keys:\n", pTrack->get_type(),
               pTrack->get_value_count(), pTrack->get_before_mode(), pTrack->get_after_mode(),
               pTrack->get_key_count());
  for (int32_t i = 0; i < pTrack->get_key_count(); ++i) {
    AnimKeyC* pKey = pTrack->get_key(i);
    float rValues[KEY_MAX_VALUES] = {0, 0, 0, 0};
    pKey->get_values(rValues);
    std::fprintf(stderr,
                 "  key %d: time %d flags 0x%x values %.9g %.9g %.9g %.9g ease %.9g/%.9g tension %.9g "
                 "continuity %.9g bias %.9g\n",
                 i, pKey->get_time(), pKey->get_flags(), rValues[0], rValues[1], rValues[2], rValues[3],
                 pKey->get_ease_in(), pKey->get_ease_out(), pKey->get_tension(), pKey->get_continuity(),
                 pKey->get_bias());
  }
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  std::vector<int32_t> rTimes;
  if (!take_leading_numbers<int32_t>(pData, uiSize, MAX_TIMES, rTimes)) {
    return 0;
  }
  std::vector<uint8_t> rHead(DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE + DOCUMENT_SIGNATURE_LENGTH);
  put_u32(rHead, 0x2000);
  put_u32(rHead, 0x00010000);
  put_u32(rHead, static_cast<uint32_t>(uiSize + CHUNK_HEADER_SIZE));
  static const TempFileC s_rFile;
  write_fuzz_input(s_rFile, rHead.data(), rHead.size(), pData, uiSize);

  ChunkReaderC rReader(nullptr);
  if (rReader.open(s_rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH) != CHUNK_OK ||
      rReader.open_chunk() != CHUNK_OK) {
    return 0;
  }
  AnimTrackC* pTrack = AnimTrackC::create_track(TRACK_TYPE_NONE);
  const int32_t i32Result = pTrack->load(&rReader);
  rReader.close_chunk();
  rReader.close();
  if (i32Result == CHUNK_OK) {
    pTrack->prepare();
    bool bFinite = true;
    for (int32_t i = 0; i < pTrack->get_key_count(); ++i) {
      bFinite = bFinite && key_is_finite(pTrack->get_key(i));
    }
    const int32_t i32Count = pTrack->get_value_count();
    for (int32_t i32Time : rTimes) {
      float rValues[KEY_MAX_VALUES + 1] = {0, 0, 0, 0, 0};
      pTrack->get_value(rValues, i32Time);
      int32_t i32Int = 0;
      pTrack->get_int(&i32Int, i32Time);
      for (int32_t i = 0; bFinite && i < i32Count && i < KEY_MAX_VALUES; ++i) {
        if (!std::isfinite(rValues[i])) {
          report_non_finite(pTrack, i32Time, rValues);
        }
      }
    }
    volatile float f32Extremes = pTrack->get_min_value() + pTrack->get_max_value();
    (void)f32Extremes;
  }
  pTrack->release();
  return 0;
}
