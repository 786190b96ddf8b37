// Still pictures of every format through FFmpeg's image decoders and the
// conversion to RGBA, as the image importable decodes them.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/imagedecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uiSize) {
  if (uiSize > std::numeric_limits<uint32_t>::max()) {
    return 0;
  }
  DecodedImageC rImage;
  std::string sError;
  if (rImage.decode(pData, static_cast<uint32_t>(uiSize), &sError)) {
    // Every pixel is read, so a short picture shows under the sanitizer.
    const size_t uBytes = static_cast<size_t>(rImage.get_width()) * static_cast<size_t>(rImage.get_height()) * 4;
    volatile uint8_t ui8Sum = 0;
    for (size_t i = 0; i < uBytes; i += 61) {
      ui8Sum = static_cast<uint8_t>(ui8Sum + rImage.get_pixels()[i]);
    }
  }
  return 0;
}
