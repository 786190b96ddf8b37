// What a 1080p video frame costs between the decoder and the screen, on
// Mesa's software renderer without a display: converting the decoded YCbCr
// picture (libswscale, one thread) to 24-bit BGR, 32-bit RGBA or 32-bit
// BGRA, and uploading it into a texture that is then drawn over the whole
// window. Uploads: a new texture image each frame (the old way),
// glTexSubImage2D into storage allocated once (VideoTextureC, BGR and RGBA),
// BGRA into the same RGBA8 storage, and RGBA through a pixel buffer object.
// Each upload is followed by a draw of the texture, so every upload meets a
// texture in use, as in playback.
// Figures are the CPU time of the calling thread (where the driver copies
// the pixels; the software renderer draws on threads of its own), which
// other engineers' builds disturb far less than wall time. The ways take
// turns in every round; each figure is the median of the rounds.
//
// textureupload_bench [WIDTH HEIGHT]
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "corelib/graphicsimportablec.h"
#include "plugins/video/videotexturec.h"
#include "tests/support/offscreenglc.h"

namespace {

constexpr int32_t ROUNDS = 9;
constexpr int32_t FRAMES_PER_ROUND = 20;

using BytesT = std::vector<uint8_t>;

struct WayC {
  const char* m_szName;
  std::function<void(int32_t)> m_rRun;  // one frame, given its number
  std::vector<double> m_rMs;
};

double thread_ms() {
  timespec rNow{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &rNow);
  return static_cast<double>(rNow.tv_sec) * 1e3 + static_cast<double>(rNow.tv_nsec) / 1e6;
}

double median(std::vector<double> r) {
  std::sort(r.begin(), r.end());
  return r[r.size() / 2];
}

void draw_textured_quad() {
  glEnable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, 1);
  glTexCoord2f(0, 0);
  glVertex2f(-1, 1);
  glEnd();
  glFinish();
}

// Two pictures to alternate between, so no upload finds its bytes in place.
std::vector<BytesT> pictures(size_t uiSize) {
  std::vector<BytesT> r(2, BytesT(uiSize));
  for (size_t i = 0; i < uiSize; ++i) {
    r[0][i] = static_cast<uint8_t>(i * 13);
    r[1][i] = static_cast<uint8_t>(i * 17 + 5);
  }
  return r;
}

}  // namespace

int main(int iArgCount, char** ppArgs) {
  const int32_t i32Width = iArgCount == 3 ? std::atoi(ppArgs[1]) : 1920;
  const int32_t i32Height = iArgCount == 3 ? std::atoi(ppArgs[2]) : 1080;
  OffscreenGlC rGl(i32Width, i32Height);
  if (!rGl.ok() || i32Width <= 0 || i32Height <= 0) {
    std::fprintf(stderr, "textureupload_bench: no OpenGL context (%s)\n", SDL_GetError());
    return 1;
  }
  glViewport(0, 0, i32Width, i32Height);
  const size_t uiBgrStride = (static_cast<size_t>(i32Width) * 3 + 3) & ~size_t(3);
  const size_t uiRgbaSize = static_cast<size_t>(i32Width) * 4 * i32Height;
  const std::vector<BytesT> rBgr = pictures(uiBgrStride * i32Height);
  const std::vector<BytesT> rRgba = pictures(uiRgbaSize);

  // The decoded picture: 4:2:0 YCbCr, as H.264 gives it.
  AVFrame* pSource = av_frame_alloc();
  pSource->format = AV_PIX_FMT_YUV420P;
  pSource->width = i32Width;
  pSource->height = i32Height;
  av_frame_get_buffer(pSource, 32);
  for (int32_t i32Plane = 0; i32Plane < 3; ++i32Plane) {
    const int32_t i32Rows = i32Plane == 0 ? i32Height : i32Height / 2;
    for (int32_t y = 0; y < i32Rows; ++y) {
      for (int32_t x = 0; x < pSource->linesize[i32Plane]; ++x) {
        pSource->data[i32Plane][y * pSource->linesize[i32Plane] + x] = static_cast<uint8_t>(x + y * 3 + i32Plane * 50);
      }
    }
  }
  SwsContext* pToBgr = sws_getContext(i32Width, i32Height, AV_PIX_FMT_YUV420P, i32Width, i32Height, AV_PIX_FMT_BGR24,
                                      SWS_BICUBIC, nullptr, nullptr, nullptr);
  SwsContext* pToRgba = sws_getContext(i32Width, i32Height, AV_PIX_FMT_YUV420P, i32Width, i32Height,
                                       AV_PIX_FMT_RGBA, SWS_BICUBIC, nullptr, nullptr, nullptr);
  SwsContext* pToBgra = sws_getContext(i32Width, i32Height, AV_PIX_FMT_YUV420P, i32Width, i32Height,
                                       AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
  BytesT rConverted(uiRgbaSize + 4096);
  uint8_t* pAligned = reinterpret_cast<uint8_t*>((reinterpret_cast<uintptr_t>(rConverted.data()) + 63) & ~uintptr_t(63));
  auto convert = [&](SwsContext* pScaler, int32_t i32Stride) {
    uint8_t* rTargets[4] = {pAligned, nullptr, nullptr, nullptr};
    int rStrides[4] = {i32Stride, 0, 0, 0};
    sws_scale(pScaler, pSource->data, pSource->linesize, 0, i32Height, rTargets, rStrides);
  };

  GLuint uiPlain = 0;
  glGenTextures(1, &uiPlain);
  GLuint uiBgraTexture = 0;
  glGenTextures(1, &uiBgraTexture);
  glBindTexture(GL_TEXTURE_2D, uiBgraTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, i32Width, i32Height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
  GLuint uiPboTexture = 0;
  glGenTextures(1, &uiPboTexture);
  glBindTexture(GL_TEXTURE_2D, uiPboTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, i32Width, i32Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  GLuint uiBuffer = 0;
  glGenBuffers(1, &uiBuffer);
  VideoTextureC rBgrTexture;
  VideoTextureC rRgbaTexture;
  for (GLuint uiTexture : {uiPlain, uiBgraTexture, uiPboTexture}) {
    glBindTexture(GL_TEXTURE_2D, uiTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

  std::vector<WayC> rWays = {
      {"glTexImage2D BGR each frame",
       [&](int32_t i) {
         glBindTexture(GL_TEXTURE_2D, uiPlain);
         glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, i32Width, i32Height, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE,
                      rBgr[static_cast<size_t>(i & 1)].data());
       },
       {}},
      {"VideoTextureC BGR (sub-image)",
       [&](int32_t i) {
         rBgrTexture.bind(BIND_LINEAR);
         rBgrTexture.upload(i, rBgr[static_cast<size_t>(i & 1)].data(), i32Width, i32Height, PICTURE_BGR24);
       },
       {}},
      {"VideoTextureC RGBA (sub-image)",
       [&](int32_t i) {
         rRgbaTexture.bind(BIND_LINEAR);
         rRgbaTexture.upload(i, rRgba[static_cast<size_t>(i & 1)].data(), i32Width, i32Height, PICTURE_RGBA32);
       },
       {}},
      {"BGRA (8_8_8_8_REV) into RGBA8",
       [&](int32_t i) {
         glBindTexture(GL_TEXTURE_2D, uiBgraTexture);
         glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, i32Width, i32Height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                         rRgba[static_cast<size_t>(i & 1)].data());
       },
       {}},
      {"RGBA through a PBO",
       [&](int32_t i) {
         glBindTexture(GL_TEXTURE_2D, uiPboTexture);
         glBindBuffer(GL_PIXEL_UNPACK_BUFFER, uiBuffer);
         glBufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(uiRgbaSize), nullptr, GL_STREAM_DRAW);
         void* pMapped = glMapBuffer(GL_PIXEL_UNPACK_BUFFER, GL_WRITE_ONLY);
         if (pMapped != nullptr) {
           std::memcpy(pMapped, rRgba[static_cast<size_t>(i & 1)].data(), uiRgbaSize);
           glUnmapBuffer(GL_PIXEL_UNPACK_BUFFER);
           glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, i32Width, i32Height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
         }
         glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
       },
       {}},
  };
  // Conversions are timed without drawing.
  std::vector<WayC> rConversions = {
      {"YCbCr 4:2:0 to BGR", [&](int32_t) { convert(pToBgr, static_cast<int32_t>(FFALIGN(i32Width * 3, 64))); }, {}},
      {"YCbCr 4:2:0 to RGBA", [&](int32_t) { convert(pToRgba, i32Width * 4); }, {}},
      {"YCbCr 4:2:0 to BGRA", [&](int32_t) { convert(pToBgra, i32Width * 4); }, {}},
  };

  for (int32_t i32Round = 0; i32Round < ROUNDS; ++i32Round) {
    for (std::vector<WayC>* pGroup : {&rWays, &rConversions}) {
      for (WayC& rWay : *pGroup) {
        double f64Ms = 0.0;
        for (int32_t i = 0; i < FRAMES_PER_ROUND; ++i) {
          const double f64Start = thread_ms();
          rWay.m_rRun(i32Round * FRAMES_PER_ROUND + i);
          f64Ms += thread_ms() - f64Start;
          if (pGroup == &rWays) {
            draw_textured_quad();
          }
        }
        rWay.m_rMs.push_back(f64Ms / FRAMES_PER_ROUND);
      }
    }
  }
  if (glGetError() != GL_NO_ERROR) {
    std::fprintf(stderr, "textureupload_bench: OpenGL error\n");
    return 1;
  }
  const double f64Before = median(rWays[0].m_rMs);
  std::printf("%dx%d, CPU ms of the calling thread per frame, median of %d rounds of %d frames\n", i32Width,
              i32Height, ROUNDS, FRAMES_PER_ROUND);
  std::printf("%-34s %10s %16s\n", "upload", "ms", "TexImage2D / it");
  for (const WayC& rWay : rWays) {
    std::printf("%-34s %10.2f %16.2f\n", rWay.m_szName, median(rWay.m_rMs), f64Before / median(rWay.m_rMs));
  }
  for (const WayC& rWay : rConversions) {
    std::printf("%-34s %10.2f\n", rWay.m_szName, median(rWay.m_rMs));
  }
  const double f64BgrPath = median(rConversions[0].m_rMs) + median(rWays[1].m_rMs);
  const double f64RgbaPath = median(rConversions[1].m_rMs) + median(rWays[2].m_rMs);
  const double f64BgraPath = median(rConversions[2].m_rMs) + median(rWays[3].m_rMs);
  std::printf("convert + upload: BGR %.2f ms, RGBA %.2f ms (RGBA/BGR %.2f), BGRA %.2f ms (BGRA/RGBA %.2f)\n",
              f64BgrPath, f64RgbaPath, f64RgbaPath / f64BgrPath, f64BgraPath, f64BgraPath / f64RgbaPath);
  glDeleteBuffers(1, &uiBuffer);
  glDeleteTextures(1, &uiPlain);
  glDeleteTextures(1, &uiBgraTexture);
  glDeleteTextures(1, &uiPboTexture);
  rBgrTexture.destroy();
  rRgbaTexture.destroy();
  sws_freeContext(pToBgr);
  sws_freeContext(pToRgba);
  sws_freeContext(pToBgra);
  av_frame_free(&pSource);
  return 0;
}
