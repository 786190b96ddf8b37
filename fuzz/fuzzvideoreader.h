#ifndef FUZZ_FUZZVIDEOREADER_H
#define FUZZ_FUZZVIDEOREADER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzzleadingnumbers.h"
#include "plugins/video/videoreaderc.h"

// A video reader through the real codec layer: the input's first bytes
// choose the frames asked for, the rest is the video file.
//   byte 0: number of requests n (at most 16 are used)
//   bytes 1 .. 2n: each a signed 16-bit frame number, little endian; the
//   numbers reach beyond the frame count both ways, which the reader wraps.
inline void fuzz_video_reader(VideoReaderC& rReader, const uint8_t* pData, size_t uiSize) {
  constexpr size_t MAX_REQUESTS = 16;
  std::vector<int32_t> rFrames;
  if (!take_leading_numbers<int16_t>(pData, uiSize, MAX_REQUESTS, rFrames)) {
    return;
  }
  // A copy of exactly the file's size, so reads past its end are caught.
  std::vector<uint8_t> rFile(pData, pData + uiSize);
  rReader.parse(rFile.data(), static_cast<uint32_t>(uiSize));
  if (rFrames.empty()) {
    rFrames.push_back(0);
  }
  for (int32_t i32Frame : rFrames) {
    const uint8_t* pPixels = rReader.get_frame(i32Frame);
    if (!pPixels) {
      continue;
    }
    // Touch the whole picture so a short buffer shows.
    const int64_t i64Bytes =
        static_cast<int64_t>(picture_stride(rReader.get_width(), rReader.get_layout())) * rReader.get_height();
    volatile uint8_t ui8Sum = 0;
    for (int64_t j = 0; j < i64Bytes; j += 61) {
      ui8Sum = static_cast<uint8_t>(ui8Sum + pPixels[j]);
    }
    if (i64Bytes > 0) {
      ui8Sum = static_cast<uint8_t>(ui8Sum + pPixels[i64Bytes - 1]);
    }
  }
}

#endif
