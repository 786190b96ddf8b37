#ifndef CORELIB_VECTOR2C_H
#define CORELIB_VECTOR2C_H

#include <cstdint>

// A 2-D vector of floats. Its layout crosses the plug-in boundary: x, y.
class Vector2C {
 public:
  Vector2C() = default;
  Vector2C(float f32X, float f32Y) : m_f32X(f32X), m_f32Y(f32Y) {}
  explicit Vector2C(const float* pValues) : m_f32X(pValues[0]), m_f32Y(pValues[1]) {}
  Vector2C(const Vector2C&) = default;
  Vector2C& operator=(const Vector2C&) = default;
  virtual ~Vector2C() = default;

  // i32Index 0 is x, 1 is y; anything else is a programming error.
  float& operator[](int32_t i32Index);
  float operator[](int32_t i32Index) const;

  // Unit vector in the same direction; a zero vector stays zero.
  Vector2C normalize() const;

  Vector2C operator+(const Vector2C& rOther) const;
  Vector2C operator-(const Vector2C& rOther) const;
  Vector2C operator*(float f32Scale) const;
  bool operator==(const Vector2C& rOther) const;
  bool operator!=(const Vector2C& rOther) const;

  float m_f32X = 0.0f;
  float m_f32Y = 0.0f;
};

#endif
