#ifndef TESTS_SUPPORT_WINDOWGRAB_H
#define TESTS_SUPPORT_WINDOWGRAB_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A window of the real tiravo on a virtual display, seen from outside:
// found with xdotool, read back with the ffmpeg command's screen grabber
// (TIRAVO_XDOTOOL and TIRAVO_FFMPEG name the programs).

// The window's pixels as the X server holds them, through the ffmpeg
// command's screen grabber: RGB rows from the top, empty when it failed.
inline std::vector<uint8_t> grab_window(const std::string& rDisplay, int32_t i32X, int32_t i32Y, int32_t i32Width,
                                        int32_t i32Height) {
  const std::string sCommand = "timeout 20 " TIRAVO_FFMPEG " -nostdin -loglevel error -f x11grab -video_size " +
                               std::to_string(i32Width) + "x" + std::to_string(i32Height) + " -draw_mouse 0 -i " +
                               rDisplay + "+" + std::to_string(i32X) + "," + std::to_string(i32Y) +
                               " -frames:v 1 -f rawvideo -pix_fmt rgb24 -";
  std::vector<uint8_t> rPixels;
  FILE* pPipe = popen(sCommand.c_str(), "r");
  if (pPipe == nullptr) {
    return rPixels;
  }
  uint8_t rBlock[4096];
  for (size_t uiRead; (uiRead = std::fread(rBlock, 1, sizeof(rBlock), pPipe)) > 0;) {
    rPixels.insert(rPixels.end(), rBlock, rBlock + uiRead);
  }
  const bool bOk = pclose(pPipe) == 0 && rPixels.size() == static_cast<size_t>(i32Width) * i32Height * 3;
  return bOk ? rPixels : std::vector<uint8_t>();
}

// Where the window of the given title shows on the display, from xdotool.
inline bool window_position(const std::string& rDisplay, const char* szTitle, int32_t* pX, int32_t* pY) {
  const std::string sCommand = "DISPLAY=" + rDisplay + " timeout 20 " TIRAVO_XDOTOOL
                               " search --sync --onlyvisible --name '" + szTitle + "' getwindowgeometry --shell";
  FILE* pPipe = popen(sCommand.c_str(), "r");
  if (pPipe == nullptr) {
    return false;
  }
  bool bX = false;
  bool bY = false;
  char szLine[128];
  while (std::fgets(szLine, sizeof(szLine), pPipe) != nullptr) {
    bX = bX || std::sscanf(szLine, "X=%d", pX) == 1;
    bY = bY || std::sscanf(szLine, "Y=%d", pY) == 1;
  }
  return pclose(pPipe) == 0 && bX && bY;
}

#endif
