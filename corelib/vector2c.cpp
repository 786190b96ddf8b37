#include "corelib/vector2c.h"

#include <cmath>

#include "corelib/assertion.h"

float& Vector2C::operator[](int32_t i32Index) {
  REQUIRE_INDEX(i32Index >= 0 && i32Index < 2, VECTOR_INDEX_TEXT);
  return i32Index == 0 ? m_f32X : m_f32Y;
}

float Vector2C::operator[](int32_t i32Index) const {
  REQUIRE_INDEX(i32Index >= 0 && i32Index < 2, VECTOR_INDEX_TEXT);
  return i32Index == 0 ? m_f32X : m_f32Y;
}

Vector2C Vector2C::normalize() const {
  // Squared length in double so that large components do not overflow to a zero result.
  double f64Sum = static_cast<double>(m_f32X) * m_f32X + static_cast<double>(m_f32Y) * m_f32Y;
  if (f64Sum == 0.0) {
    return *this;
  }
  double f64Scale = 1.0 / std::sqrt(f64Sum);
  return Vector2C(static_cast<float>(m_f32X * f64Scale), static_cast<float>(m_f32Y * f64Scale));
}

Vector2C Vector2C::operator+(const Vector2C& rOther) const {
  return Vector2C(m_f32X + rOther.m_f32X, m_f32Y + rOther.m_f32Y);
}

Vector2C Vector2C::operator-(const Vector2C& rOther) const {
  return Vector2C(m_f32X - rOther.m_f32X, m_f32Y - rOther.m_f32Y);
}

Vector2C Vector2C::operator*(float f32Scale) const {
  return Vector2C(m_f32X * f32Scale, m_f32Y * f32Scale);
}

bool Vector2C::operator==(const Vector2C& rOther) const {
  return m_f32X == rOther.m_f32X && m_f32Y == rOther.m_f32Y;
}

bool Vector2C::operator!=(const Vector2C& rOther) const {
  return !(*this == rOther);
}
