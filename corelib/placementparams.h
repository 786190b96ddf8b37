#ifndef CORELIB_PLACEMENTPARAMS_H
#define CORELIB_PLACEMENTPARAMS_H

#include <cstdint>

#include "corelib/rgbacolorc.h"
#include "corelib/vector2c.h"

class GizmoC;

// The groups and parameters that effects drawing one quad in their layer
// (the Video Player, every effect of vernisk) have first, so that all of
// them move, blend and fade alike. Ids equal positions; documents store them.
constexpr int32_t PLACEMENT_GIZMO_TRANSFORM = 0;
constexpr int32_t PLACEMENT_GIZMO_ATTRIBUTES = 1;
constexpr int32_t PLACEMENT_PARAM_POSITION = 0;
constexpr int32_t PLACEMENT_PARAM_PIVOT = 1;
constexpr int32_t PLACEMENT_PARAM_ROTATION = 2;
constexpr int32_t PLACEMENT_PARAM_SCALE = 3;
constexpr int32_t PLACEMENT_PARAM_FILL_COLOR = 0;
constexpr int32_t PLACEMENT_PARAM_RENDER_MODE = 1;

// The values of "Render mode".
constexpr int32_t RENDER_MODE_NORMAL = 0;
constexpr int32_t RENDER_MODE_ADD = 1;
constexpr int32_t RENDER_MODE_MULT = 2;

// "Position", "Pivot", "Rotation" and "Scale", into the "Transform" group.
void add_transform_params(GizmoC* pTransform);
// "Fill Color" and "Render mode" (Normal, Add, Mult), into the "Attributes"
// group; a class adds its own parameters after them.
void add_blend_params(GizmoC* pAttributes);

// What the two groups say at a time.
struct PlacementS {
  Vector2C m_rPosition;
  Vector2C m_rPivot;
  float m_f32Rotation = 0.0f;
  Vector2C m_rScale;
  RgbaColorC m_rFillColor;
  int32_t m_i32RenderMode = RENDER_MODE_NORMAL;
};
PlacementS placement_at(GizmoC* pTransform, GizmoC* pAttributes, int32_t i32Time);

// The colour a quad is drawn with: the fill colour, premultiplied by its
// alpha in Mult, whose blending multiplies by the source colour.
RgbaColorC render_mode_color(const RgbaColorC& rFill, int32_t i32RenderMode);

#endif
