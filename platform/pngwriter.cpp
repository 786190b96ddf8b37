#include "platform/pngwriter.h"

#include <png.h>

#include <cstdio>

namespace {

// libpng reports errors by longjmp; everything that needs freeing is freed
// after it returns, so no C++ object lives across the jump.
bool write_rows(FILE* pFile, const uint8_t* pPixels, int32_t i32Width, int32_t i32Height) {
  png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!pPng) {
    return false;
  }
  png_infop pInfo = png_create_info_struct(pPng);
  if (!pInfo || setjmp(png_jmpbuf(pPng))) {
    png_destroy_write_struct(&pPng, &pInfo);
    return false;
  }
  png_init_io(pPng, pFile);
  png_set_IHDR(pPng, pInfo, static_cast<png_uint_32>(i32Width), static_cast<png_uint_32>(i32Height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Fast compression: offline rendering writes a file per frame.
  png_set_compression_level(pPng, 1);
  png_write_info(pPng, pInfo);
  const size_t uStride = static_cast<size_t>(i32Width) * 3;
  for (int32_t y = 0; y < i32Height; ++y) {
    png_write_row(pPng, pPixels + static_cast<size_t>(y) * uStride);
  }
  png_write_end(pPng, nullptr);
  png_destroy_write_struct(&pPng, &pInfo);
  return true;
}

}  // namespace

bool write_png_rgb(const char* szFileName, const uint8_t* pPixels, int32_t i32Width, int32_t i32Height) {
  if (i32Width <= 0 || i32Height <= 0) {
    return false;
  }
  FILE* pFile = std::fopen(szFileName, "wb");
  if (!pFile) {
    return false;
  }
  const bool bWritten = write_rows(pFile, pPixels, i32Width, i32Height);
  const bool bClosed = std::fclose(pFile) == 0;
  return bWritten && bClosed;
}
