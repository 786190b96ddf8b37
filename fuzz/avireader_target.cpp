// AviReaderC through the real codec layer: the input's first bytes choose
// the frames asked for, the rest is the AVI file.
//   byte 0: number of requests n (at most 16 are used)
//   bytes 1 .. 2n: each a signed 16-bit frame number, little endian; the
//   numbers reach beyond the frame count both ways, which the reader wraps.
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugins/video/avireaderc.h"

namespace {
constexpr size_t MAX_REQUESTS = 16;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  if (uiSize < 1) {
    return 0;
  }
  const size_t uiRequests = pData[0] % (MAX_REQUESTS + 1);
  if (uiSize < 1 + 2 * uiRequests) {
    return 0;
  }
  std::vector<int32_t> rFrames;
  for (size_t i = 0; i < uiRequests; ++i) {
    const uint16_t ui16Raw = static_cast<uint16_t>(pData[1 + 2 * i] | (pData[2 + 2 * i] << 8));
    rFrames.push_back(static_cast<int16_t>(ui16Raw));
  }
  // A copy of exactly the file's size, so reads past its end are caught.
  const size_t uiFileSize = uiSize - 1 - 2 * uiRequests;
  std::vector<uint8_t> rFile(pData + 1 + 2 * uiRequests, pData + uiSize);
  AviReaderC rReader;
  rReader.parse(rFile.data(), static_cast<uint32_t>(uiFileSize));
  if (rFrames.empty()) {
    rFrames.push_back(0);
  }
  for (int32_t i32Frame : rFrames) {
    const uint8_t* pPixels = rReader.get_frame(i32Frame);
    if (!pPixels) {
      continue;
    }
    // Touch the whole picture so a short buffer shows.
    const int64_t i64Row = (static_cast<int64_t>(rReader.get_width()) * 3 + 3) & ~int64_t{3};
    const int64_t i64Bytes = i64Row * rReader.get_height();
    volatile uint8_t ui8Sum = 0;
    for (int64_t j = 0; j < i64Bytes; j += 61) {
      ui8Sum = static_cast<uint8_t>(ui8Sum + pPixels[j]);
    }
    if (i64Bytes > 0) {
      ui8Sum = static_cast<uint8_t>(ui8Sum + pPixels[i64Bytes - 1]);
    }
  }
  return 0;
}
