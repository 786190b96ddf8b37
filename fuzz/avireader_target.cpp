// AviReaderC through the real codec layer, on frames the input's first
// bytes choose (see fuzzvideoreader.h); the rest is the AVI file.
#include "fuzz/fuzzvideoreader.h"
#include "plugins/video/avireaderc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  AviReaderC rReader;
  fuzz_video_reader(rReader, pData, uiSize);
  return 0;
}
