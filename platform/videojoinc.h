#ifndef PLATFORM_VIDEOJOINC_H
#define PLATFORM_VIDEOJOINC_H

#include <cstdint>
#include <string>
#include <vector>

// Joins the MP4 pieces of one render (tiravo --render FILE.mp4 --from A --to
// B, each span starting where the one before ends) into one video as the
// whole render would be: the H.264 pictures copied under their own
// timestamps, and the sound decoded and encoded once more as one AAC track,
// so that it holds no encoder delay at the joins. A stream copy of the
// pieces' AAC cannot be had without that: each piece's sound starts with the
// 1024 samples its encoder primes with, and AAC frames overlap their
// neighbours, so copied frames from two encodings never meet without a gap.
class VideoJoinC {
 public:
  // False, with get_error() saying why, when a piece cannot be read, is not
  // such a piece, or does not begin where the one before it ends; the output
  // is then not left behind.
  bool join(const std::string& rOutput, const std::vector<std::string>& rPieces);
  const std::string& get_error() const { return m_sError; }
  // What the last join made.
  int64_t get_picture_count() const { return m_i64Pictures; }
  int64_t get_sample_count() const { return m_i64Samples; }

 private:
  bool fail(const std::string& rError) {
    m_sError = rError;
    return false;
  }

  std::string m_sError;
  int64_t m_i64Pictures = 0;
  int64_t m_i64Samples = 0;
};

#endif
