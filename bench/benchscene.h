#ifndef BENCH_BENCHSCENE_H
#define BENCH_BENCHSCENE_H

#include <cstdint>
#include <string>

#include "corelib/colorparamc.h"
#include "corelib/effectbasec.h"
#include "corelib/gizmobasec.h"
#include "corelib/layerc.h"
#include "corelib/parambasec.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "description/documentsaving.h"
#include "docfile/chunkreaderc.h"
#include "registry/classregistryc.h"
#include "tests/plugins/testrect.h"

constexpr int32_t BENCH_LAYOUT_WIDTH = 640;
constexpr int32_t BENCH_LAYOUT_HEIGHT = 480;
// 60 beats per minute of one unit.
constexpr int32_t BENCH_TICKS_PER_SECOND = 256;

// One rectangle of the bench scene, i32Index of them: overlapping, each in
// colours of its own, moving from its place by (i32Shift, i32Shift) over
// i32EndTime ticks when i32Shift is not 0.
inline void set_bench_rect(GizmoBaseC* pGizmo, int32_t i32Index, int32_t i32EndTime, int32_t i32Shift) {
  auto* pMin = static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MIN));
  auto* pMax = static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MAX));
  const float f32Offset = static_cast<float>(i32Index * 10);
  const int32_t i32Keys = i32Shift != 0 ? 2 : 1;
  if (i32Shift != 0) {
    pMin->add_flags(PARAM_FLAG_ANIMATED);
    pMax->add_flags(PARAM_FLAG_ANIMATED);
  }
  for (int32_t i32Key = 0; i32Key < i32Keys; ++i32Key) {
    const float f32At = f32Offset + static_cast<float>(i32Key * i32Shift);
    pMin->set_value(i32Key * i32EndTime, Vector2C(f32At, f32At));
    pMax->set_value(i32Key * i32EndTime, Vector2C(f32At + 400.0f, f32At + 260.0f));
  }
  static_cast<ColorParamC*>(pGizmo->get_param(TESTRECT_PARAM_COLOR))
      ->set_value(0, RgbaColorC(0.05f * static_cast<float>(i32Index), 0.5f, 1.0f, 1.0f));
}

// A presentation of i32Rects rectangles, each on a layer of its own, that
// ends at i32EndTime ticks, with the music szMusic (null: none), written to
// szPath.
inline bool write_bench_scene(ClassRegistryC* pRegistry, int32_t i32Rects, int32_t i32EndTime, int32_t i32Shift,
                              const char* szMusic, const char* szPath) {
  SceneC* pScene = SceneC::create_scene();
  pScene->set_layout_width(BENCH_LAYOUT_WIDTH);
  pScene->set_layout_height(BENCH_LAYOUT_HEIGHT);
  pScene->set_beats_per_min(60);
  pScene->set_beat_units(1);
  pScene->set_end_time(i32EndTime);
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
    set_bench_rect(pEffect->get_gizmo(TESTRECT_GIZMO_ID), i, i32EndTime, i32Shift);
    pLayer->add_effect(pEffect);
  }
  const std::string sMusic = szMusic ? szMusic : "";
  DocumentContentS rContent;
  rContent.m_pScene = pScene;
  rContent.m_pMusic = szMusic ? &sMusic : nullptr;
  const bool bWritten = save_document(szPath, rContent) == CHUNK_OK;
  pScene->release();
  pShown->release();
  return bWritten;
}

#endif
