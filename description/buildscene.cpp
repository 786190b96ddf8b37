#include "description/buildscene.h"

#include <string>

#include "corelib/effectbasec.h"
#include "corelib/layerc.h"
#include "corelib/scenec.h"
#include "description/buildanimation.h"
#include "description/buildeffect.h"
#include "description/descriptionnodec.h"

namespace {

// Each setting the description gives, through its setter.
struct SceneSettingS {
  const char* m_szName;
  void (SceneC::*m_pSetter)(int32_t);
};

const SceneSettingS SCENE_SETTINGS[] = {
    {"beats_per_min", &SceneC::set_beats_per_min}, {"tick_division", &SceneC::set_tick_division},
    {"beat_group", &SceneC::set_beat_group},       {"beat_units", &SceneC::set_beat_units},
    {"end_time", &SceneC::set_end_time},           {"layout_width", &SceneC::set_layout_width},
    {"layout_height", &SceneC::set_layout_height}};

void build_layer(const NodeC& rLayer, ClassRegistryC* pRegistry, ImportListC* pFiles, LayerC* pLayer) {
  rLayer.expect_object({"name", "flags", "time_segment", "effects"});
  if (rLayer.has("name")) {
    pLayer->set_name(rLayer.member("name").to_string().c_str());
  }
  if (rLayer.has("flags")) {
    pLayer->set_flags(rLayer.member("flags").to_uint32());
  }
  if (rLayer.has("time_segment")) {
    build_segment(rLayer.member("time_segment"), pLayer->get_time_segment());
  }
  if (rLayer.has("effects")) {
    for (const NodeC& rEffect : rLayer.member("effects").items()) {
      pLayer->insert_effect(pLayer->get_effect_count(), build_effect(rEffect, pRegistry, pFiles));
    }
  }
}

void build_markers(const NodeC& rMarkers, SceneC* pScene) {
  for (const NodeC& rMarker : rMarkers.items()) {
    rMarker.expect_object({"position", "label"});
    const std::string sLabel = rMarker.has("label") ? rMarker.member("label").to_string() : std::string();
    pScene->add_marker(rMarker.member("position").to_int32(), sLabel.c_str());
  }
  pScene->sort_markers();
}

}  // namespace

void build_scene(const NodeC& rScene, ClassRegistryC* pRegistry, ImportListC* pFiles, SceneC* pScene) {
  rScene.expect_object({"name", "beats_per_min", "tick_division", "beat_group", "beat_units", "end_time",
                        "layout_width", "layout_height", "markers", "layers"});
  if (rScene.has("name")) {
    pScene->set_name(rScene.member("name").to_string().c_str());
  }
  for (const SceneSettingS& rSetting : SCENE_SETTINGS) {
    if (rScene.has(rSetting.m_szName)) {
      (pScene->*rSetting.m_pSetter)(rScene.member(rSetting.m_szName).to_int32());
    }
  }
  if (rScene.has("markers")) {
    build_markers(rScene.member("markers"), pScene);
  }
  if (!rScene.has("layers")) {
    return;
  }
  // The scene puts a new layer in front; it is moved to the end.
  for (const NodeC& rLayer : rScene.member("layers").items()) {
    LayerC* pLayer = pScene->add_layer();
    pScene->move_layer(0, pScene->get_layer_count());
    build_layer(rLayer, pRegistry, pFiles, pLayer);
  }
}
