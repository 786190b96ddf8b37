#include "plugins/vernisk/placedeffectc.h"

#include <GL/gl.h>

#include "corelib/devicedriverbasec.h"
#include "corelib/deviceinterfacec.h"
#include "corelib/devicetablec.h"
#include "corelib/fileparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/importhandlec.h"
#include "corelib/placementparams.h"
#include "docfile/chunkwriterc.h"

namespace {

constexpr uint32_t CHUNK_BASE = 0x1000;
constexpr uint32_t CHUNK_FIRST_GIZMO = 0x2000;
constexpr uint32_t CHUNK_GIZMO_STEP = 0x1000;
constexpr uint32_t CHUNK_VERSION = 1;

}  // namespace

PlacedEffectC::PlacedEffectC() {
  add_transform_params(add_gizmo("Transform"));
  add_blend_params(add_gizmo("Attributes"));
}

PlacedEffectC::PlacedEffectC(EditableC* pOriginal) : EffectBaseC(pOriginal) {}

PlacedEffectC::~PlacedEffectC() {
  if (!m_pOriginal) {
    for (GizmoC* pGizmo : m_rGizmos) {
      pGizmo->release();
    }
  }
}

GizmoC* PlacedEffectC::add_gizmo(const char* szName) {
  m_rGizmos.push_back(GizmoC::create_gizmo(this, szName, static_cast<int32_t>(m_rGizmos.size())));
  return m_rGizmos.back();
}

ImportableBaseC* PlacedEffectC::file_of(FileParamC* pParam) {
  ImportHandleC* pHandle = pParam->get_file();
  return pHandle ? pHandle->get_importable() : nullptr;
}

void PlacedEffectC::copy(EditableC* pSource) {
  EffectBaseC::copy(pSource);
  PlacedEffectC* pEffect = static_cast<PlacedEffectC*>(pSource);
  for (size_t i = 0; i < m_rGizmos.size() && i < pEffect->m_rGizmos.size(); ++i) {
    m_rGizmos[i]->copy(pEffect->m_rGizmos[i]);
  }
}

void PlacedEffectC::restore(EditableC* pSource) {
  EffectBaseC::restore(pSource);
  m_rGizmos = static_cast<PlacedEffectC*>(pSource)->m_rGizmos;
}

int32_t PlacedEffectC::save(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(CHUNK_BASE, CHUNK_VERSION);
  int32_t i32Result = EffectBaseC::save(pWriter);
  i32Result = first_failure(i32Result, pWriter->end_chunk());
  for (size_t i = 0; i < m_rGizmos.size(); ++i) {
    pWriter->begin_chunk(CHUNK_FIRST_GIZMO + CHUNK_GIZMO_STEP * static_cast<uint32_t>(i), CHUNK_VERSION);
    i32Result = first_failure(i32Result, m_rGizmos[i]->save(pWriter));
    i32Result = first_failure(i32Result, pWriter->end_chunk());
  }
  return i32Result;
}

int32_t PlacedEffectC::load(ChunkReaderC* pReader) {
  return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != CHUNK_VERSION) {
      return CHUNK_OK;
    }
    if (ui32Id == CHUNK_BASE) {
      return EffectBaseC::load(pReader);
    }
    const uint32_t ui32Index = (ui32Id - CHUNK_FIRST_GIZMO) / CHUNK_GIZMO_STEP;
    const bool bGizmo = ui32Id >= CHUNK_FIRST_GIZMO && (ui32Id - CHUNK_FIRST_GIZMO) % CHUNK_GIZMO_STEP == 0 &&
                        ui32Index < m_rGizmos.size();
    return bGizmo ? m_rGizmos[ui32Index]->load(pReader) : CHUNK_OK;
  });
}

int32_t PlacedEffectC::get_gizmo_count() {
  return static_cast<int32_t>(m_rGizmos.size());
}

GizmoBaseC* PlacedEffectC::get_gizmo(int32_t i32Index) {
  return i32Index >= 0 && i32Index < get_gizmo_count() ? m_rGizmos[static_cast<size_t>(i32Index)] : nullptr;
}

ParamBaseC* PlacedEffectC::get_default_param(int32_t i32Which) {
  GizmoC* pTransform = gizmo(PLACEMENT_GIZMO_TRANSFORM);
  switch (i32Which) {
    case DEFAULT_PARAM_POSITION:
      return pTransform->get_param(PLACEMENT_PARAM_POSITION);
    case DEFAULT_PARAM_ROTATION:
      return pTransform->get_param(PLACEMENT_PARAM_ROTATION);
    case DEFAULT_PARAM_SCALE:
      return pTransform->get_param(PLACEMENT_PARAM_SCALE);
    case DEFAULT_PARAM_PIVOT:
      return pTransform->get_param(PLACEMENT_PARAM_PIVOT);
    default:
      return nullptr;
  }
}

bool PlacedEffectC::hit_test(const Vector2C& rPoint) {
  return m_rQuad.contains(rPoint);
}

void PlacedEffectC::prepare(int32_t, DeviceTableC*, TimeBaseC*) {}

Box2C PlacedEffectC::get_bbox() {
  return m_rQuad.get_box();
}

const Affine2C& PlacedEffectC::get_transform() {
  return m_rQuad.get_transform();
}

void PlacedEffectC::place(int32_t i32Time, const Box2C& rQuad) {
  const PlacementS rPlacement =
      placement_at(gizmo(PLACEMENT_GIZMO_TRANSFORM), gizmo(PLACEMENT_GIZMO_ATTRIBUTES), i32Time);
  m_rQuad.place(rPlacement.m_rPosition, rPlacement.m_rPivot, rPlacement.m_f32Rotation, rPlacement.m_rScale, rQuad);
  m_rFillColor = rPlacement.m_rFillColor;
  m_i32RenderMode = rPlacement.m_i32RenderMode;
}

DeviceDriverBaseC* PlacedEffectC::begin_quad(DeviceTableC* pDevices) {
  DeviceDriverBaseC* pDevice = pDevices ? pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER) : nullptr;
  DeviceInterfaceC* pInterface = pDevice ? pDevice->query_interface(SUPERCLASS_VIEWPORT_INTERFACE) : nullptr;
  if (!pInterface) {
    return nullptr;
  }
  const Box2C& rBox = m_rQuad.get_box();
  static_cast<ViewportInterfaceC*>(pInterface)
      ->set_ortho(rBox, rBox.m_rMin.m_f32X, rBox.m_rMax.m_f32X, rBox.m_rMax.m_f32Y, rBox.m_rMin.m_f32Y, -1.0f, 1.0f);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  if (m_i32RenderMode == RENDER_MODE_NORMAL) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else if (m_i32RenderMode == RENDER_MODE_ADD) {
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  } else {
    glBlendFunc(GL_DST_COLOR, GL_ONE_MINUS_SRC_ALPHA);
  }
  return pDevice;
}

RgbaColorC PlacedEffectC::blend_color() const {
  return render_mode_color(m_rFillColor, m_i32RenderMode);
}

// The depth buffer is left as it was found.
void PlacedEffectC::draw_quad() const {
  glDepthMask(GL_FALSE);
  glBegin(GL_QUADS);
  for (int32_t i = 0; i < 4; ++i) {
    glTexCoord2f(QUAD_TEX_COORDS[i][0], QUAD_TEX_COORDS[i][1]);
    glVertex2f(m_rQuad.get_corner(i).m_f32X, m_rQuad.get_corner(i).m_f32Y);
  }
  glEnd();
  glDepthMask(GL_TRUE);
}
