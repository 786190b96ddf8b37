// Frames per second of the player's frame loop drawing into the OpenGL
// driver's offscreen image (Mesa, no window): an empty scene and a scene of
// 20 rectangles. Each frame ends with the driver's glFinish, so the figure
// is real drawing, not queued commands.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/benchscene.h"
#include "bench/countingsinkc.h"
#include "player/playerc.h"

namespace {

constexpr int32_t FRAMES = 600;
constexpr int32_t FRAME_MS = 1;

bool measure(int32_t i32Rects, const char* szPluginDirectory) {
  const std::string sPath = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                            "/tiravo-bench-" + std::to_string(i32Rects) + ".doc";
  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(szPluginDirectory);
  CountingSinkC rSink(FRAME_MS);
  rPlayer.set_offline_render(&rSink);
  if (!write_bench_scene(rPlayer.get_class_registry(), i32Rects, FRAMES * FRAME_MS * BENCH_TICKS_PER_SECOND / 1000, 0,
                         nullptr, sPath.c_str()) || !rPlayer.init(nullptr, false) ||
      rPlayer.load(sPath.c_str()) != 0) {
    std::fprintf(stderr, "bench: cannot load the scene of %d rectangles\n", i32Rects);
    return false;
  }
  const auto rStart = std::chrono::steady_clock::now();
  const int iResult = rPlayer.run();
  const double f64Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - rStart).count();
  std::remove(sPath.c_str());
  if (iResult != 0) {
    return false;
  }
  std::printf("%2d rectangles, %dx%d: %d frames in %.2f s, %.0f frames per second\n", i32Rects, BENCH_LAYOUT_WIDTH,
              BENCH_LAYOUT_HEIGHT, rSink.get_frames(), f64Seconds, rSink.get_frames() / f64Seconds);
  return true;
}

}  // namespace

int main(int iArgCount, char** ppArgs) {
  if (iArgCount != 2) {
    std::fprintf(stderr, "Usage: framerate_bench PLUGIN_DIRECTORY (with opengl.so and testrect.so)\n");
    return 2;
  }
  const bool bMeasured = measure(0, ppArgs[1]) && measure(20, ppArgs[1]);
  return bMeasured ? 0 : 1;
}
