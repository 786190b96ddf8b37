// How long tiravo --render FILE.mp4 takes for 20 s of a 640 × 480
// presentation at 60 frames a second: 20 moving rectangles drawn offscreen
// (Mesa), read back, encoded as H.264 with the music as AAC, into an MP4.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/benchscene.h"
#include "player/offlinerenderc.h"
#include "player/playerc.h"
#include "player/videoexportc.h"

namespace {

constexpr int32_t SECONDS = 20;
constexpr int32_t FPS = 60;
constexpr int32_t RECTS = 20;
constexpr int32_t SHIFT = 200;

std::string temporary_file(const char* szName) {
  const char* szDirectory = std::getenv("TMPDIR");
  return std::string(szDirectory ? szDirectory : "/tmp") + "/tiravo-bench-" + szName;
}

}  // namespace

int main(int iArgCount, char** ppArgs) {
  if (iArgCount != 2 && iArgCount != 3) {
    std::fprintf(stderr, "Usage: export_bench PLUGIN_DIRECTORY (with opengl.so and testrect.so) [MUSIC]\n");
    return 2;
  }
  const std::string sDocument = temporary_file("export.doc");
  const std::string sVideo = temporary_file("export.mp4");
  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(ppArgs[1]);
  if (!write_bench_scene(rPlayer.get_class_registry(), RECTS, SECONDS * BENCH_TICKS_PER_SECOND, SHIFT,
                         iArgCount == 3 ? ppArgs[2] : nullptr, sDocument.c_str()) ||
      !rPlayer.init(nullptr, false) || rPlayer.load(sDocument.c_str()) != 0) {
    std::fprintf(stderr, "bench: cannot load the scene\n");
    return 1;
  }
  VideoExportC rVideo(sVideo);
  OfflineRenderC rRender(&rVideo, FrameRateS{FPS, 1});
  rPlayer.set_offline_render(&rRender);
  const auto rStart = std::chrono::steady_clock::now();
  const bool bDone = rPlayer.run() == 0 && rRender.finish();
  const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
  std::remove(sDocument.c_str());
  struct stat rStat {};
  const bool bWritten = bDone && stat(sVideo.c_str(), &rStat) == 0;
  std::remove(sVideo.c_str());
  if (!bWritten) {
    return 1;
  }
  std::printf("export of %d s, %dx%d at %d fps, %d rectangles%s: %d frames in %.2f s (%.0f frames per second), "
              "%.1f MB\n",
              SECONDS, BENCH_LAYOUT_WIDTH, BENCH_LAYOUT_HEIGHT, FPS, RECTS, iArgCount == 3 ? " and music" : "",
              rRender.get_frame_count(), f64Seconds, rRender.get_frame_count() / f64Seconds,
              static_cast<double>(rStat.st_size) / 1e6);
  return 0;
}
