#include "corelib/affine2c.h"

#include <cmath>

void Affine2C::set_identity() {
  m_rRows[0] = Vector2C(1.0f, 0.0f);
  m_rRows[1] = Vector2C(0.0f, 1.0f);
  m_rRows[2] = Vector2C(0.0f, 0.0f);
}

void Affine2C::set_trans(const Vector2C& rOffset) {
  set_identity();
  m_rRows[2] = Vector2C(rOffset.m_f32X, rOffset.m_f32Y);
}

void Affine2C::set_scale(const Vector2C& rScale) {
  set_identity();
  m_rRows[0].m_f32X = rScale.m_f32X;
  m_rRows[1].m_f32Y = rScale.m_f32Y;
}

void Affine2C::set_rot(float f32Angle) {
  set_identity();
  const float f32Cos = std::cos(f32Angle);
  const float f32Sin = std::sin(f32Angle);
  m_rRows[0] = Vector2C(f32Cos, f32Sin);
  m_rRows[1] = Vector2C(-f32Sin, f32Cos);
}

Affine2C Affine2C::operator*(const Affine2C& rOther) const {
  Affine2C rResult;
  for (int32_t i32Row = 0; i32Row < 3; ++i32Row) {
    for (int32_t i32Col = 0; i32Col < 2; ++i32Col) {
      rResult.m_rRows[i32Row][i32Col] = m_rRows[i32Row].m_f32X * rOther.m_rRows[0][i32Col] +
                                        m_rRows[i32Row].m_f32Y * rOther.m_rRows[1][i32Col];
    }
  }
  rResult.m_rRows[2] = rResult.m_rRows[2] + rOther.m_rRows[2];
  return rResult;
}

Vector2C Affine2C::transform(const Vector2C& rPoint) const {
  return m_rRows[0] * rPoint.m_f32X + m_rRows[1] * rPoint.m_f32Y + m_rRows[2];
}
