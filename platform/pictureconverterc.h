#ifndef PLATFORM_PICTURECONVERTERC_H
#define PLATFORM_PICTURECONVERTERC_H

#include <cstdint>

struct AVFrame;
struct SwsContext;

// The two kinds of picture the video importables hand to OpenGL, rows top
// first: 24-bit blue-green-red with each row padded to a multiple of 4
// bytes (AVI files), or 32-bit red-green-blue-alpha (movies, opaque ones with
// an alpha of 255). The second is the order in which Mesa's drivers store
// RGBA8 textures, so its upload is a plain copy; any other order is
// reformatted pixel by pixel on the drawing thread.
enum PictureLayoutE : int32_t { PICTURE_BGR24 = 0, PICTURE_RGBA32 = 1 };

// Bytes past the end of a picture that its buffer must have room for; the
// converter may write whole blocks of pixels there.
constexpr uint32_t PICTURE_PADDING = 256;

int32_t picture_stride(int32_t i32Width, PictureLayoutE eLayout);
// A zeroed buffer for one picture and its padding, aligned for the
// converter's fast paths; freed with free_picture. Null when out of memory.
uint8_t* allocate_picture(int32_t i32Width, int32_t i32Height, PictureLayoutE eLayout);
void free_picture(uint8_t* pPicture);

// Turns decoded pictures into one layout and size with libswscale, reading
// each picture's YCbCr matrix and range the way the ffmpeg command does, so
// that the pixels equal its decode byte for byte.
class PictureConverterC {
 public:
  PictureConverterC(int32_t i32Width, int32_t i32Height, PictureLayoutE eLayout);
  PictureConverterC(const PictureConverterC&) = delete;
  PictureConverterC& operator=(const PictureConverterC&) = delete;
  ~PictureConverterC();

  // Pictures of another size are scaled to ours, so the output never runs
  // past the buffer. False when libswscale cannot read the picture.
  bool convert(const AVFrame* pPicture, uint8_t* pOut);

 private:
  bool set_up_scaler(const AVFrame* pPicture);
  void set_up_colours(const AVFrame* pPicture);

  int32_t m_i32Width;
  int32_t m_i32Height;
  int32_t m_i32Stride;
  PictureLayoutE m_eLayout;
  // Our own rows for outputs that are not aligned as the fast paths need.
  uint8_t* m_pScratch = nullptr;

  // The scaler and what it was set up for.
  SwsContext* m_pScaler = nullptr;
  int32_t m_i32ScalerFormat = -1;
  int32_t m_i32ScalerWidth = 0;
  int32_t m_i32ScalerHeight = 0;
  bool m_bFullRangeFormat = false;
  int32_t m_i32ScalerColorspace = -1;
  int32_t m_i32ScalerRange = -1;
};

#endif
