#include <GL/gl.h>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/colorparamc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/effectbasec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/pluginexports.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkwriterc.h"
#include "tests/plugins/testrect.h"
#include "tests/support/testclassdescc.h"

namespace {

constexpr uint32_t CHUNK_BASE = 0x1000;
constexpr uint32_t CHUNK_GIZMO = 0x2000;
constexpr uint32_t CHUNK_VERSION = 1;

// A filled, axis-aligned rectangle of one colour, so that a frame's pixels
// show which effect drew where and, through an animated colour, at which
// local time.
class TestRectEffectC : public EffectBaseC {
 public:
  static TestRectEffectC* make() { return new TestRectEffectC(); }

  DataObjectC* create() override { return new TestRectEffectC(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new TestRectEffectC(pOriginal); }
  void copy(EditableC* pSource) override {
    EffectBaseC::copy(pSource);
    m_pGizmo->copy(static_cast<TestRectEffectC*>(pSource)->m_pGizmo);
  }
  void restore(EditableC* pSource) override {
    EffectBaseC::restore(pSource);
    m_pGizmo = static_cast<TestRectEffectC*>(pSource)->m_pGizmo;
  }
  int32_t save(ChunkWriterC* pWriter) override {
    pWriter->begin_chunk(CHUNK_BASE, CHUNK_VERSION);
    EffectBaseC::save(pWriter);
    pWriter->end_chunk();
    pWriter->begin_chunk(CHUNK_GIZMO, CHUNK_VERSION);
    int32_t i32Result = m_pGizmo->save(pWriter);
    return first_failure(i32Result, pWriter->end_chunk());
  }
  int32_t load(ChunkReaderC* pReader) override {
    return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
      if (ui32Version != CHUNK_VERSION) {
        return CHUNK_OK;
      }
      if (ui32Id == CHUNK_BASE) {
        return EffectBaseC::load(pReader);
      }
      return ui32Id == CHUNK_GIZMO ? m_pGizmo->load(pReader) : CHUNK_OK;
    });
  }

  int32_t get_gizmo_count() override { return 1; }
  GizmoBaseC* get_gizmo(int32_t i32Index) override { return i32Index == 0 ? m_pGizmo : nullptr; }
  ClassIdentC get_class_ident() override { return TESTRECT_CLASS; }
  const char* get_class_name() override { return TESTRECT_CLASS_NAME; }
  void set_default_file(ImportHandleC* pHandle) override {
    FileParamC* pSource = static_cast<FileParamC*>(m_pGizmo->get_param(TESTRECT_PARAM_SOURCE));
    edit_under_undo(pSource, get_undo(), [&] { pSource->set_file(pHandle); });
  }
  ParamBaseC* get_default_param(int32_t) override { return nullptr; }
  bool hit_test(const Vector2C& rPoint) override {
    return rPoint.m_f32X >= m_rBox.m_rMin.m_f32X && rPoint.m_f32X <= m_rBox.m_rMax.m_f32X &&
           rPoint.m_f32Y >= m_rBox.m_rMin.m_f32Y && rPoint.m_f32Y <= m_rBox.m_rMax.m_f32Y;
  }
  void prepare(int32_t, DeviceTableC*, TimeBaseC*) override {}
  void evaluate(int32_t i32Time, TimeBaseC*) override {
    static_cast<ColorParamC*>(m_pGizmo->get_param(TESTRECT_PARAM_COLOR))->get_value(i32Time, &m_rColor);
    Vector2C rMin;
    Vector2C rMax;
    static_cast<Vector2ParamC*>(m_pGizmo->get_param(TESTRECT_PARAM_MIN))->get_value(i32Time, &rMin);
    static_cast<Vector2ParamC*>(m_pGizmo->get_param(TESTRECT_PARAM_MAX))->get_value(i32Time, &rMax);
    m_rBox = Box2C(rMin, rMax).normalize();
  }
  // The projection maps the rectangle's own box, like the effects we ship,
  // so the rectangle covers exactly the layout pixels of that box.
  void draw(DeviceTableC* pDevices) override {
    DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE) : nullptr;
    DeviceInterfaceC* pInterface = pDevice ? pDevice->query_interface(SUPERCLASS_VIEWPORT_INTERFACE) : nullptr;
    if (!pInterface) {
      return;
    }
    const Vector2C& rMin = m_rBox.m_rMin;
    const Vector2C& rMax = m_rBox.m_rMax;
    static_cast<ViewportInterfaceC*>(pInterface)->set_ortho(m_rBox, rMin.m_f32X, rMax.m_f32X, rMax.m_f32Y,
                                                            rMin.m_f32Y, -1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glColor4f(m_rColor.m_f32R, m_rColor.m_f32G, m_rColor.m_f32B, m_rColor.m_f32A);
    glRectf(rMin.m_f32X, rMin.m_f32Y, rMax.m_f32X, rMax.m_f32Y);
  }
  Box2C get_bbox() override { return m_rBox; }
  const Affine2C& get_transform() override { return m_rTransform; }

 private:
  TestRectEffectC() : m_pGizmo(GizmoC::create_gizmo(this, "Rectangle", TESTRECT_GIZMO_ID)) {
    m_pGizmo->add_param(ColorParamC::create_param(m_pGizmo, "Color", RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f),
                                                  TESTRECT_PARAM_COLOR, 0x10, true));
    m_pGizmo->add_param(Vector2ParamC::create_param(m_pGizmo, "Min", Vector2C(0.0f, 0.0f), TESTRECT_PARAM_MIN, 0x81,
                                                    true, Vector2C(), Vector2C(), 1.0f));
    m_pGizmo->add_param(Vector2ParamC::create_param(m_pGizmo, "Max", Vector2C(64.0f, 64.0f), TESTRECT_PARAM_MAX,
                                                    0x81, true, Vector2C(), Vector2C(), 1.0f));
    m_pGizmo->add_param(
        FileParamC::create_param(m_pGizmo, "Source", NULL_SUPERCLASSID, NULL_CLASSID, TESTRECT_PARAM_SOURCE, 0x8));
  }
  // For create_linked: restore supplies the gizmo.
  explicit TestRectEffectC(EditableC* pOriginal) : EffectBaseC(pOriginal) {}
  ~TestRectEffectC() override {
    if (!m_pOriginal && m_pGizmo) {
      m_pGizmo->release();
    }
  }

  GizmoC* m_pGizmo = nullptr;
  RgbaColorC m_rColor{1.0f, 1.0f, 1.0f, 1.0f};
  Box2C m_rBox;
  Affine2C m_rTransform;
};

class TestRectDescC : public TestClassDescC {
 public:
  DataObjectC* make_object() override { return TestRectEffectC::make(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_EFFECT; }
  ClassIdentC get_class_ident() override { return TESTRECT_CLASS; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_EFFECT; }
  const char* get_class_name() override { return TESTRECT_CLASS_NAME; }
  const char* get_description() override { return "A filled rectangle for tests"; }
};

TestRectDescC g_rTestRectDesc;

}  // namespace

PLUGIN_EXPORT int get_classdesc_count() {
  return 1;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "testrect.so - Test Rectangle";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex == 0 ? &g_rTestRectDesc : nullptr;
}
