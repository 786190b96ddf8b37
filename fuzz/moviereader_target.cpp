// MovieReaderC, what the Movie importable decodes with, through the real
// libavformat and libavcodec, on frames the input's first bytes choose (see
// fuzzvideoreader.h); the rest is the movie file.
#include "fuzz/fuzzvideoreader.h"
#include "plugins/video/moviereaderc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  MovieReaderC rReader;
  fuzz_video_reader(rReader, pData, uiSize);
  return 0;
}
