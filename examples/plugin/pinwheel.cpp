// pinwheel.so: an example effect plug-in. A pinwheel of coloured blades
// around a centre, turned by its "Angle" parameter; every parameter can be
// animated by keyframes in a document.
//
// Build it against an installed SDK with CMake (see CMakeLists.txt), or:
//   g++ -shared -fPIC -fvisibility=hidden -o pinwheel.so pinwheel.cpp $(pkg-config --cflags --libs tiravo-plugin)

#include <GL/gl.h>

#include <cmath>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/classdescc.h"
#include "corelib/colorparamc.h"
#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/effectbasec.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/intparamc.h"
#include "corelib/pluginexports.h"
#include "corelib/vector2paramc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"

namespace {

// Chosen once for this class and never changed: documents store it.
const ClassIdentC PINWHEEL_CLASS(0x5E1C7A2B, 0x9D40F316);
constexpr const char* PINWHEEL_NAME = "Pinwheel";

// The effect's chunks: the base part (name, flags, time segment) and the
// parameter group, each with its own version so that a later pinwheel can
// read what this one saved.
constexpr uint32_t CHUNK_BASE = 0x1000;
constexpr uint32_t CHUNK_GIZMO = 0x2000;
constexpr uint32_t CHUNK_VERSION = 1;

// The group's parameters by id. Ids are saved with the values: never reuse one.
constexpr int32_t GIZMO_ID = 0;
constexpr int32_t PARAM_CENTER = 0;
constexpr int32_t PARAM_RADIUS = 1;
constexpr int32_t PARAM_ANGLE = 2;
constexpr int32_t PARAM_BLADES = 3;
constexpr int32_t PARAM_COLOR = 4;

constexpr int32_t MAX_BLADES = 64;
constexpr double DEGREES_TO_RADIANS = 3.14159265358979 / 180.0;

class PinwheelEffectC : public EffectBaseC {
 public:
  static PinwheelEffectC* make() { return new PinwheelEffectC(); }

  // The editing protocol: new objects come from the object itself, so that
  // they are made (and later released) by this library's code.
  DataObjectC* create() override { return new PinwheelEffectC(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new PinwheelEffectC(pOriginal); }
  void copy(EditableC* pSource) override {
    EffectBaseC::copy(pSource);
    m_pGizmo->copy(static_cast<PinwheelEffectC*>(pSource)->m_pGizmo);
  }
  void restore(EditableC* pSource) override {
    EffectBaseC::restore(pSource);
    m_pGizmo = static_cast<PinwheelEffectC*>(pSource)->m_pGizmo;
  }

  int32_t save(ChunkWriterC* pWriter) override {
    pWriter->begin_chunk(CHUNK_BASE, CHUNK_VERSION);
    EffectBaseC::save(pWriter);
    pWriter->end_chunk();
    pWriter->begin_chunk(CHUNK_GIZMO, CHUNK_VERSION);
    const int32_t i32Result = m_pGizmo->save(pWriter);
    return first_failure(i32Result, pWriter->end_chunk());
  }
  // Unknown chunks and versions are skipped, so older players read newer documents.
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
  ClassIdentC get_class_ident() override { return PINWHEEL_CLASS; }
  const char* get_class_name() override { return PINWHEEL_NAME; }
  void set_default_file(ImportHandleC*) override {}
  ParamBaseC* get_default_param(int32_t i32Which) override {
    if (i32Which == 1) {
      return m_pGizmo->get_param(PARAM_CENTER);
    }
    return i32Which == 2 ? m_pGizmo->get_param(PARAM_ANGLE) : nullptr;
  }
  bool hit_test(const Vector2C& rPoint) override {
    const float f32X = rPoint.m_f32X - m_rCenter.m_f32X;
    const float f32Y = rPoint.m_f32Y - m_rCenter.m_f32Y;
    return f32X * f32X + f32Y * f32Y <= m_f32Radius * m_f32Radius;
  }
  void prepare(int32_t, DeviceTableC*, TimeBaseC*) override {}

  // Everything draw needs is read here, at the effect's local time.
  void evaluate(int32_t i32Time, TimeBaseC*) override {
    static_cast<Vector2ParamC*>(m_pGizmo->get_param(PARAM_CENTER))->get_value(i32Time, &m_rCenter);
    static_cast<FloatParamC*>(m_pGizmo->get_param(PARAM_RADIUS))->get_value(i32Time, &m_f32Radius);
    static_cast<FloatParamC*>(m_pGizmo->get_param(PARAM_ANGLE))->get_value(i32Time, &m_f32Angle);
    static_cast<IntParamC*>(m_pGizmo->get_param(PARAM_BLADES))->get_value(i32Time, &m_i32Blades);
    static_cast<ColorParamC*>(m_pGizmo->get_param(PARAM_COLOR))->get_value(i32Time, &m_rColor);
    const Vector2C rReach(m_f32Radius, m_f32Radius);
    m_rBox = Box2C(m_rCenter - rReach, m_rCenter + rReach);
    m_rTransform.set_trans(m_rCenter);
  }

  // The graphics device is found in the device table; its viewport interface
  // maps the pinwheel's box of the layout to the window, and the blades are
  // drawn in layout coordinates (y up) with OpenGL 1.1.
  void draw(DeviceTableC* pDevices) override {
    DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE) : nullptr;
    DeviceInterfaceC* pInterface = pDevice ? pDevice->query_interface(SUPERCLASS_VIEWPORT_INTERFACE) : nullptr;
    if (!pInterface || m_f32Radius <= 0.0f || m_i32Blades < 1) {
      return;
    }
    const Vector2C& rMin = m_rBox.m_rMin;
    const Vector2C& rMax = m_rBox.m_rMax;
    static_cast<ViewportInterfaceC*>(pInterface)->set_ortho(m_rBox, rMin.m_f32X, rMax.m_f32X, rMax.m_f32Y,
                                                            rMin.m_f32Y, -1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(m_rColor.m_f32R, m_rColor.m_f32G, m_rColor.m_f32B, m_rColor.m_f32A);
    // Each blade fills half of its share of the circle, from its leading edge.
    const float f32Share = 360.0f / static_cast<float>(m_i32Blades);
    constexpr int32_t STEPS = 8;
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < m_i32Blades; ++i) {
      const float f32Start = m_f32Angle + f32Share * static_cast<float>(i);
      for (int32_t s = 0; s < STEPS; ++s) {
        glVertex2f(m_rCenter.m_f32X, m_rCenter.m_f32Y);
        rim_vertex(f32Start + f32Share * 0.5f * static_cast<float>(s) / STEPS);
        rim_vertex(f32Start + f32Share * 0.5f * static_cast<float>(s + 1) / STEPS);
      }
    }
    glEnd();
    glDisable(GL_BLEND);
  }
  Box2C get_bbox() override { return m_rBox; }
  const Affine2C& get_transform() override { return m_rTransform; }

 private:
  // Parameters are made in the constructor, in a fixed order, and belong to
  // the group, which belongs to the effect.
  PinwheelEffectC() : m_pGizmo(GizmoC::create_gizmo(this, PINWHEEL_NAME, GIZMO_ID)) {
    m_pGizmo->add_param(Vector2ParamC::create_param(m_pGizmo, "Center", Vector2C(160.0f, 120.0f), PARAM_CENTER, 0x81,
                                                    true, Vector2C(), Vector2C(), 1.0f));
    m_pGizmo->add_param(
        FloatParamC::create_param(m_pGizmo, "Radius", 100.0f, PARAM_RADIUS, 0x1, true, 0.0f, 10000.0f, 1.0f));
    m_pGizmo->add_param(FloatParamC::create_param(m_pGizmo, "Angle", 0.0f, PARAM_ANGLE, 0x41, true, 0.0f, 0.0f, 1.0f));
    m_pGizmo->add_param(IntParamC::create_param(m_pGizmo, "Blades", 4, PARAM_BLADES, 0x2, true, 1, MAX_BLADES, 1));
    m_pGizmo->add_param(
        ColorParamC::create_param(m_pGizmo, "Color", RgbaColorC(1.0f, 0.8f, 0.2f, 1.0f), PARAM_COLOR, 0x10, true));
  }
  // A restore copy: restore() hands it the original's group, which it shares.
  explicit PinwheelEffectC(EditableC* pOriginal) : EffectBaseC(pOriginal) {}
  ~PinwheelEffectC() override {
    if (!m_pOriginal && m_pGizmo) {
      m_pGizmo->release();
    }
  }

  void rim_vertex(float f32Degrees) const {
    const double f64Radians = f32Degrees * DEGREES_TO_RADIANS;
    glVertex2d(m_rCenter.m_f32X + m_f32Radius * std::cos(f64Radians),
               m_rCenter.m_f32Y + m_f32Radius * std::sin(f64Radians));
  }

  GizmoC* m_pGizmo = nullptr;
  Vector2C m_rCenter;
  float m_f32Radius = 0.0f;
  float m_f32Angle = 0.0f;
  int32_t m_i32Blades = 0;
  RgbaColorC m_rColor;
  Box2C m_rBox;
  Affine2C m_rTransform;
};

// What the player and an editor know of the class before there is an object.
class PinwheelDescC : public PluginClass::ClassDescC {
 public:
  DataObjectC* make_object() override { return PinwheelEffectC::make(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_EFFECT; }
  ClassIdentC get_class_ident() override { return PINWHEEL_CLASS; }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_EFFECT; }
  const char* get_class_name() override { return PINWHEEL_NAME; }
  const char* get_description() override { return "Example effect: turning blades"; }
  const char* get_author() override { return "tiravo developers"; }
  const char* get_copyright() override { return "(c) 2026 tiravo developers"; }
  const char* get_web_address() override { return ""; }
  const char* get_help_location() override { return ""; }
  int32_t get_extension_count() override { return 0; }
  const char* get_extension(int32_t) override { return nullptr; }
  // It draws with OpenGL, so it needs the OpenGL device driver.
  int32_t get_driver_requirement_count() override { return 1; }
  const ClassIdentC* get_driver_requirement(int32_t) override { return &CLASS_OPENGL_DEVICEDRIVER; }
};

PinwheelDescC g_rPinwheelDesc;

}  // namespace

// The four exports, the only symbols the library shows.
PLUGIN_EXPORT int get_classdesc_count() {
  return 1;
}

PLUGIN_EXPORT int get_api_version() {
  return PLUGIN_API_VERSION;
}

PLUGIN_EXPORT const char* get_dll_name() {
  return "pinwheel.so - Example Pinwheel Effect";
}

PLUGIN_EXPORT PluginClass::ClassDescC* get_classdesc(int iIndex) {
  return iIndex == 0 ? &g_rPinwheelDesc : nullptr;
}
