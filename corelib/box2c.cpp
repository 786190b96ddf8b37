#include "corelib/box2c.h"

#include <algorithm>
#include <utility>

Vector2C& Box2C::operator[](int32_t i32Index) {
  return i32Index == 0 ? m_rMin : m_rMax;
}

const Vector2C& Box2C::operator[](int32_t i32Index) const {
  return i32Index == 0 ? m_rMin : m_rMax;
}

Box2C Box2C::normalize() const {
  Box2C rResult(*this);
  for (int32_t i32Axis = 0; i32Axis < 2; ++i32Axis) {
    if (rResult.m_rMin[i32Axis] > rResult.m_rMax[i32Axis]) {
      std::swap(rResult.m_rMin[i32Axis], rResult.m_rMax[i32Axis]);
    }
  }
  return rResult;
}

Box2C Box2C::combine(const Box2C& rOther) const {
  Box2C rResult = normalize();
  for (int32_t i32Axis = 0; i32Axis < 2; ++i32Axis) {
    rResult.m_rMin[i32Axis] = std::min(rResult.m_rMin[i32Axis], rOther.m_rMin[i32Axis]);
    rResult.m_rMax[i32Axis] = std::max(rResult.m_rMax[i32Axis], rOther.m_rMax[i32Axis]);
  }
  return rResult;
}

Box2C Box2C::clip(const Box2C& rOther) const {
  Box2C rResult = normalize();
  for (int32_t i32Axis = 0; i32Axis < 2; ++i32Axis) {
    float& rMin = rResult.m_rMin[i32Axis];
    float& rMax = rResult.m_rMax[i32Axis];
    const float f32Low = rOther.m_rMin[i32Axis];
    const float f32High = rOther.m_rMax[i32Axis];
    if (rMax < f32Low) {
      rMin = rMax = f32Low;
    } else if (rMin > f32High) {
      rMin = rMax = f32High;
    }
    rMin = std::max(rMin, f32Low);
    rMax = std::min(rMax, f32High);
  }
  return rResult;
}
