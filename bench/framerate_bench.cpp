// Frames per second of the player's frame loop drawing into the OpenGL
// driver's offscreen image (Mesa, no window): an empty scene and a scene of
// 20 rectangles. Each frame ends with the driver's glFinish, so the figure
// is real drawing, not queued commands.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "corelib/colorparamc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/effectbasec.h"
#include "corelib/gizmobasec.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkwriterc.h"
#include "player/framesinkc.h"
#include "player/playerc.h"
#include "tests/plugins/testrect.h"

namespace {

constexpr int32_t LAYOUT_WIDTH = 640;
constexpr int32_t LAYOUT_HEIGHT = 480;
constexpr int32_t FRAMES = 600;
constexpr int32_t FRAME_MS = 1;

// Frames one millisecond apart, drawn offscreen and counted, not kept.
class CountingSinkC : public FrameSinkC {
 public:
  bool attach(DeviceDriverBaseC* pDriver, int32_t, int32_t) override {
    auto* pOffscreen = static_cast<OffscreenInterfaceC*>(pDriver->query_interface(SUPERCLASS_OFFSCREEN_INTERFACE));
    if (!pOffscreen) {
      return false;
    }
    pOffscreen->set_offscreen(true);
    return true;
  }
  int32_t get_frame_time_ms() const override { return m_i32Frames * FRAME_MS; }
  bool write_frame() override {
    ++m_i32Frames;
    return true;
  }

  int32_t m_i32Frames = 0;
};

// A scene of i32Rects overlapping rectangles, each on a layer of its own, shown
// for FRAMES milliseconds.
bool write_scene(ClassRegistryC* pRegistry, int32_t i32Rects, const char* szPath) {
  SceneC* pScene = SceneC::create_scene();
  pScene->set_layout_width(LAYOUT_WIDTH);
  pScene->set_layout_height(LAYOUT_HEIGHT);
  pScene->set_beats_per_min(60);
  pScene->set_beat_units(1);
  pScene->set_end_time(FRAMES * FRAME_MS * 256 / 1000);
  TimeSegmentC* pShown = TimeSegmentC::create_segment(0, 1 << 30);
  for (int32_t i = 0; i < i32Rects; ++i) {
    LayerC* pLayer = pScene->add_layer();
    pLayer->get_time_segment()->copy(pShown);
    auto* pEffect = dynamic_cast<EffectBaseC*>(pRegistry->create_object(TESTRECT_CLASS));
    if (!pEffect) {
      pScene->release();
      pShown->release();
      return false;
    }
    pEffect->get_time_segment()->copy(pShown);
    GizmoBaseC* pGizmo = pEffect->get_gizmo(TESTRECT_GIZMO_ID);
    const float f32Offset = static_cast<float>(i * 10);
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MIN))->set_value(0, Vector2C(f32Offset, f32Offset));
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MAX))
        ->set_value(0, Vector2C(f32Offset + 400.0f, f32Offset + 260.0f));
    static_cast<ColorParamC*>(pGizmo->get_param(TESTRECT_PARAM_COLOR))
        ->set_value(0, RgbaColorC(0.05f * static_cast<float>(i), 0.5f, 1.0f, 1.0f));
    pLayer->add_effect(pEffect);
  }
  ChunkWriterC rWriter;
  rWriter.open(szPath, DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH);
  rWriter.begin_chunk(0x2000, 0x00010000);
  pScene->save(&rWriter);
  rWriter.end_chunk();
  const bool bWritten = rWriter.close() == CHUNK_OK;
  pScene->release();
  pShown->release();
  return bWritten;
}

bool measure(int32_t i32Rects, const char* szPluginDirectory) {
  const std::string sPath = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                            "/tiravo-bench-" + std::to_string(i32Rects) + ".doc";
  PlayerC rPlayer;
  rPlayer.get_class_registry()->load_plugins(szPluginDirectory);
  CountingSinkC rSink;
  rPlayer.set_offline_render(&rSink);
  if (!write_scene(rPlayer.get_class_registry(), i32Rects, sPath.c_str()) || !rPlayer.init(nullptr, false) ||
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
  std::printf("%2d rectangles, %dx%d: %d frames in %.2f s, %.0f frames per second\n", i32Rects, LAYOUT_WIDTH,
              LAYOUT_HEIGHT, rSink.m_i32Frames, f64Seconds, rSink.m_i32Frames / f64Seconds);
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
