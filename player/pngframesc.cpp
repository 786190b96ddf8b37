#include "player/pngframesc.h"

#include <cinttypes>
#include <cstdio>

#include "platform/pngwriter.h"

bool PngFramesC::open(const OutputFormatS& rFormat) {
  m_i32Width = rFormat.m_i32Width;
  m_i32Height = rFormat.m_i32Height;
  return true;
}

bool PngFramesC::write_frame(const uint8_t* pRgb, int64_t i64Frame) {
  char szName[32];
  std::snprintf(szName, sizeof(szName), "/frame-%06" PRId64 ".png", i64Frame);
  const std::string sPath = m_sDirectory + szName;
  if (!write_png_rgb(sPath.c_str(), pRgb, m_i32Width, m_i32Height)) {
    return fail("cannot write " + sPath);
  }
  return true;
}
