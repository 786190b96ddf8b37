#ifndef CORELIB_PLACEDQUADC_H
#define CORELIB_PLACEDQUADC_H

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/vector2c.h"

// The quad an effect draws in its layer's 2-D space, placed by the usual
// Transform group: moved by the pivot, rotated about the origin (degrees,
// counter-clockwise with y up), scaled along the output axes, moved to the
// position. Corners 0 to 3 are (min x, min y), (max x, min y), (max x,
// max y), (min x, max y) of the quad before the transform.
class PlacedQuadC {
 public:
  void place(const Vector2C& rPosition, const Vector2C& rPivot, float f32Rotation, const Vector2C& rScale,
             const Box2C& rQuad);
  // Even-odd crossings of a ray towards +x with the transformed edges.
  bool contains(const Vector2C& rPoint) const;

  const Affine2C& get_transform() const { return m_rTransform; }
  const Box2C& get_box() const { return m_rBox; }
  const Vector2C& get_corner(int i) const { return m_rCorners[i]; }

 private:
  Affine2C m_rTransform;
  Box2C m_rBox;
  Vector2C m_rCorners[4];
};

// The texture coordinates of corners 0 to 3: row t = 0 is a picture's top
// row, so a picture stands upright when y grows upwards.
constexpr float QUAD_TEX_COORDS[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};

#endif
