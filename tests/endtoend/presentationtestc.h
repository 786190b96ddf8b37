#ifndef TESTS_ENDTOEND_PRESENTATIONTESTC_H
#define TESTS_ENDTOEND_PRESENTATIONTESTC_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "corelib/colorparamc.h"
#include "corelib/effectbasec.h"
#include "corelib/gizmobasec.h"
#include "corelib/layerc.h"
#include "corelib/ownedobject.h"
#include "corelib/scenec.h"
#include "corelib/timesegmentc.h"
#include "corelib/vector2paramc.h"
#include "registry/classregistryc.h"
#include "tests/endtoend/tiravoprocessc.h"
#include "tests/plugins/testrect.h"
#include "tests/support/presentationfile.h"
#include "tests/support/tempdirectoryc.h"

constexpr int32_t LAYOUT_WIDTH = 64;
constexpr int32_t LAYOUT_HEIGHT = 48;
// 60 beats per minute of one unit: 256 ticks per second.
constexpr int32_t TICKS_PER_SECOND = 256;

// A directory with the shipped OpenGL driver and the test rectangle effect,
// a document built from the effect's real objects, and the runs of tiravo on it.
class PresentationTestC : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(plugin_directory());
    std::filesystem::create_symlink(TIRAVO_OPENGL_PLUGIN, plugin_directory() + "/opengl.so");
    std::filesystem::create_symlink(TIRAVO_TESTRECT_PLUGIN, plugin_directory() + "/testrect.so");
    testing::internal::CaptureStderr();
    m_rRegistry.load_plugins(plugin_directory().c_str());
    testing::internal::GetCapturedStderr();
    m_pScene->set_layout_width(LAYOUT_WIDTH);
    m_pScene->set_layout_height(LAYOUT_HEIGHT);
    m_pScene->set_beats_per_min(60);
    m_pScene->set_beat_units(1);
    m_pScene->set_end_time(TICKS_PER_SECOND);
    // The driver may leave Mesa's own allocations behind at exit.
    m_rProcess.set_variable("ASAN_OPTIONS", "detect_leaks=0");
    // Whatever plug-ins this machine's user keeps are not part of a test.
    m_rProcess.set_variable("XDG_DATA_HOME", m_rDirectory.file("data"));
  }

  std::string plugin_directory() const { return m_rDirectory.file("plugins"); }

  // A layer shown over [i32Start, i32End) of the presentation, put behind the
  // layers added before it.
  LayerC* add_layer(int32_t i32Start, int32_t i32End) {
    LayerC* pLayer = m_pScene->add_layer();
    m_pScene->move_layer(0, m_pScene->get_layer_count());
    show_over(pLayer->get_time_segment(), i32Start, i32End);
    return pLayer;
  }

  static void show_over(TimeSegmentC* pSegment, int32_t i32Start, int32_t i32End) {
    OwnedT<TimeSegmentC> pShown(TimeSegmentC::create_segment(i32Start, i32End));
    pSegment->copy(pShown.get());
  }

  // A rectangle over [min, max) of the layout in one colour, behind the
  // effects added to the layer before it, shown from i32Start of the layer.
  EffectBaseC* add_rect(LayerC* pLayer, const Vector2C& rMin, const Vector2C& rMax, const RgbaColorC& rColor,
                        int32_t i32Start = 0) {
    auto* pEffect = dynamic_cast<EffectBaseC*>(m_rRegistry.create_object(TESTRECT_CLASS));
    GizmoBaseC* pGizmo = pEffect->get_gizmo(TESTRECT_GIZMO_ID);
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MIN))->set_value(0, rMin);
    static_cast<Vector2ParamC*>(pGizmo->get_param(TESTRECT_PARAM_MAX))->set_value(0, rMax);
    static_cast<ColorParamC*>(pGizmo->get_param(TESTRECT_PARAM_COLOR))->set_value(0, rColor);
    show_over(pEffect->get_time_segment(), i32Start, TICKS_PER_SECOND * 100);
    pLayer->insert_effect(pLayer->get_effect_count(), pEffect);
    return pEffect;
  }

  // The document as show.doc, naming the driver and the music when asked.
  std::string save(bool bWithDriver = false, const std::string& rMusic = "") {
    const std::string sPath = m_rDirectory.file("show.doc");
    ChunkWriterC rWriter;
    EXPECT_EQ(CHUNK_OK, rWriter.open(sPath.c_str(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH));
    write_scene_chunk(rWriter, m_pScene.get());
    if (!rMusic.empty()) {
      write_string_chunk(rWriter, 0x4000, TOP_VERSION, rMusic.c_str());
    }
    if (bWithDriver) {
      write_class_chunk(rWriter, 0x5000, CLASS_OPENGL_DEVICEDRIVER, "OpenGL Device Driver", nullptr);
    }
    EXPECT_EQ(CHUNK_OK, rWriter.close());
    return sPath;
  }

  TempDirectoryC m_rDirectory;
  ClassRegistryC m_rRegistry;
  OwnedT<SceneC> m_pScene{SceneC::create_scene()};
  TiravoProcessC m_rProcess;
};

#endif
