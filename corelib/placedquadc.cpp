#include "corelib/placedquadc.h"

namespace {

// Degrees to radians in the precision documents were made with: 1/180 as a
// float, pi as a ten-decimal double, the angle stored as a float.
constexpr float F32_INVERSE_180 = 0.0055555557f;
constexpr double F64_PI = 3.1415926536;

// Which side of the quad each corner takes: false the minimum, true the maximum.
constexpr bool CORNER_SIDES[4][2] = {{false, false}, {true, false}, {true, true}, {false, true}};

}  // namespace

void PlacedQuadC::place(const Vector2C& rPosition, const Vector2C& rPivot, float f32Rotation, const Vector2C& rScale,
                        const Box2C& rQuad) {
  const float f32Angle = static_cast<float>(f32Rotation * F32_INVERSE_180 * F64_PI);
  Affine2C rPivotMove;
  Affine2C rRotation;
  Affine2C rScaling;
  Affine2C rPositionMove;
  rPivotMove.set_trans(rPivot);
  rRotation.set_rot(f32Angle);
  rScaling.set_scale(rScale);
  rPositionMove.set_trans(rPosition);
  m_rTransform = rPivotMove * rRotation * rScaling * rPositionMove;

  for (int i = 0; i < 4; ++i) {
    const Vector2C rCorner(CORNER_SIDES[i][0] ? rQuad.m_rMax.m_f32X : rQuad.m_rMin.m_f32X,
                           CORNER_SIDES[i][1] ? rQuad.m_rMax.m_f32Y : rQuad.m_rMin.m_f32Y);
    m_rCorners[i] = m_rTransform.transform(rCorner);
  }
  m_rBox = Box2C(m_rCorners[0], m_rCorners[0]);
  for (int i = 1; i < 4; ++i) {
    for (int i32Axis = 0; i32Axis < 2; ++i32Axis) {
      const float f32Value = m_rCorners[i][i32Axis];
      if (f32Value < m_rBox.m_rMin[i32Axis]) {
        m_rBox.m_rMin[i32Axis] = f32Value;
      }
      if (f32Value > m_rBox.m_rMax[i32Axis]) {
        m_rBox.m_rMax[i32Axis] = f32Value;
      }
    }
  }
}

bool PlacedQuadC::contains(const Vector2C& rPoint) const {
  bool bInside = false;
  for (int i = 0, j = 3; i < 4; j = i++) {
    const Vector2C& rI = m_rCorners[i];
    const Vector2C& rJ = m_rCorners[j];
    if ((rI.m_f32Y <= rPoint.m_f32Y && rPoint.m_f32Y < rJ.m_f32Y) ||
        (rJ.m_f32Y <= rPoint.m_f32Y && rPoint.m_f32Y < rI.m_f32Y)) {
      const float f32X = rI.m_f32X + (rJ.m_f32X - rI.m_f32X) * (rPoint.m_f32Y - rI.m_f32Y) / (rJ.m_f32Y - rI.m_f32Y);
      if (rPoint.m_f32X < f32X) {
        bInside = !bInside;
      }
    }
  }
  return bInside;
}
