#include "corelib/placementparams.h"

#include "corelib/colorparamc.h"
#include "corelib/floatparamc.h"
#include "corelib/gizmoc.h"
#include "corelib/intparamc.h"
#include "corelib/vector2paramc.h"

void add_transform_params(GizmoC* pTransform) {
  const Vector2C rOrigin(0.0f, 0.0f);
  pTransform->add_param(Vector2ParamC::create_param(pTransform, "Position", rOrigin, PLACEMENT_PARAM_POSITION, 0x81,
                                                    true, rOrigin, rOrigin, 0.1f));
  pTransform->add_param(Vector2ParamC::create_param(pTransform, "Pivot", rOrigin, PLACEMENT_PARAM_PIVOT, 0x301, true,
                                                    rOrigin, rOrigin, 0.1f));
  pTransform->add_param(FloatParamC::create_param(pTransform, "Rotation", 0.0f, PLACEMENT_PARAM_ROTATION, 0x41, true,
                                                  0.0f, 0.0f, 1.0f));
  pTransform->add_param(Vector2ParamC::create_param(pTransform, "Scale", Vector2C(1.0f, 1.0f), PLACEMENT_PARAM_SCALE,
                                                    0x21, true, rOrigin, rOrigin, 0.01f));
}

void add_blend_params(GizmoC* pAttributes) {
  pAttributes->add_param(ColorParamC::create_param(pAttributes, "Fill Color", RgbaColorC(1.0f, 1.0f, 1.0f, 1.0f),
                                                   PLACEMENT_PARAM_FILL_COLOR, 0x10, true));
  IntParamC* pRenderMode = IntParamC::create_param(pAttributes, "Render mode", RENDER_MODE_NORMAL,
                                                   PLACEMENT_PARAM_RENDER_MODE, 0x2, true, 0, 2, 1);
  pRenderMode->set_label(RENDER_MODE_NORMAL, "Normal");
  pRenderMode->set_label(RENDER_MODE_ADD, "Add");
  pRenderMode->set_label(RENDER_MODE_MULT, "Mult");
  pAttributes->add_param(pRenderMode);
}

PlacementS placement_at(GizmoC* pTransform, GizmoC* pAttributes, int32_t i32Time) {
  PlacementS rPlacement;
  static_cast<Vector2ParamC*>(pTransform->get_param(PLACEMENT_PARAM_POSITION))
      ->get_value(i32Time, &rPlacement.m_rPosition);
  static_cast<Vector2ParamC*>(pTransform->get_param(PLACEMENT_PARAM_PIVOT))->get_value(i32Time, &rPlacement.m_rPivot);
  pTransform->get_param(PLACEMENT_PARAM_ROTATION)->get_value(i32Time, &rPlacement.m_f32Rotation);
  static_cast<Vector2ParamC*>(pTransform->get_param(PLACEMENT_PARAM_SCALE))
      ->get_value(i32Time, &rPlacement.m_rScale);
  static_cast<ColorParamC*>(pAttributes->get_param(PLACEMENT_PARAM_FILL_COLOR))
      ->get_value(i32Time, &rPlacement.m_rFillColor);
  static_cast<IntParamC*>(pAttributes->get_param(PLACEMENT_PARAM_RENDER_MODE))
      ->get_value(i32Time, &rPlacement.m_i32RenderMode);
  return rPlacement;
}

RgbaColorC render_mode_color(const RgbaColorC& rFill, int32_t i32RenderMode) {
  if (i32RenderMode == RENDER_MODE_MULT) {
    return RgbaColorC(rFill.m_f32R * rFill.m_f32A, rFill.m_f32G * rFill.m_f32A, rFill.m_f32B * rFill.m_f32A,
                      rFill.m_f32A);
  }
  return rFill;
}
