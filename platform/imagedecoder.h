#ifndef PLATFORM_IMAGEDECODER_H
#define PLATFORM_IMAGEDECODER_H

#include <cstdint>
#include <string>

// Still pictures (PNG, JPEG, WebP, BMP, TGA, TIFF, the first frame of a GIF)
// decoded from bytes in memory by FFmpeg's image decoders, into 32-bit RGBA
// rows top first, alpha kept, converted as the ffmpeg command converts them.
// A picture may have as many pixels as a video picture (MAX_VIDEO_PIXELS,
// refused before anything is allocated for it) and sides up to
// MAX_PICTURE_SIDE.

enum ImageFormatE : int32_t {
  IMAGE_UNKNOWN = 0,
  IMAGE_PNG,
  IMAGE_JPEG,
  IMAGE_WEBP,
  IMAGE_BMP,
  IMAGE_TGA,
  IMAGE_TIFF,
  IMAGE_GIF,
};

// The format by the file's signature; TGA, which has none, by a header that
// makes sense.
ImageFormatE image_format(const uint8_t* pBytes, uint32_t ui32Size);
const char* image_format_name(ImageFormatE eFormat);

// One decoded picture: width × height × 4 bytes, each row 4 × width bytes.
class DecodedImageC {
 public:
  DecodedImageC() = default;
  DecodedImageC(const DecodedImageC&) = delete;
  DecodedImageC& operator=(const DecodedImageC&) = delete;
  ~DecodedImageC();

  // Replaces the picture; false with the reason in *pError (and no picture)
  // when the bytes are no picture we decode.
  bool decode(const uint8_t* pBytes, uint32_t ui32Size, std::string* pError);

  const uint8_t* get_pixels() const { return m_pPixels; }
  int32_t get_width() const { return m_i32Width; }
  int32_t get_height() const { return m_i32Height; }
  // Whether the file's pixels carry alpha (otherwise every alpha is 255).
  bool has_alpha() const { return m_bAlpha; }
  ImageFormatE get_format() const { return m_eFormat; }

 private:
  void clear();

  uint8_t* m_pPixels = nullptr;
  int32_t m_i32Width = 0;
  int32_t m_i32Height = 0;
  bool m_bAlpha = false;
  ImageFormatE m_eFormat = IMAGE_UNKNOWN;
};

#endif
