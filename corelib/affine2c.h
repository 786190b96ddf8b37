#ifndef CORELIB_AFFINE2C_H
#define CORELIB_AFFINE2C_H

#include "corelib/vector2c.h"

// A 2-D affine transform in the row-vector convention: rows 0 and 1 are the
// linear part, row 2 the translation; p maps to p.x*row0 + p.y*row1 + row2.
// Its layout crosses the plug-in boundary: three rows.
class Affine2C {
 public:
  Affine2C() = default;
  Affine2C(const Affine2C&) = default;
  Affine2C& operator=(const Affine2C&) = default;
  virtual ~Affine2C() = default;

  void set_identity();
  void set_trans(const Vector2C& rOffset);
  void set_scale(const Vector2C& rScale);
  // Counter-clockwise with y up; the angle is in radians.
  void set_rot(float f32Angle);

  // Applies this transform, then rOther.
  Affine2C operator*(const Affine2C& rOther) const;
  Vector2C transform(const Vector2C& rPoint) const;

  Vector2C m_rRows[3];
};

#endif
