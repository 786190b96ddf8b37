#ifndef CORELIB_BOX2C_H
#define CORELIB_BOX2C_H

#include <cstdint>

#include "corelib/vector2c.h"

// An axis-aligned 2-D box. Its layout crosses the plug-in boundary: min, max.
class Box2C {
 public:
  Box2C() = default;
  Box2C(const Vector2C& rMin, const Vector2C& rMax) : m_rMin(rMin), m_rMax(rMax) {}
  Box2C(const Box2C&) = default;
  Box2C& operator=(const Box2C&) = default;
  virtual ~Box2C() = default;

  // Corner 0 is min; any other index is max.
  Vector2C& operator[](int32_t i32Index);
  const Vector2C& operator[](int32_t i32Index) const;

  // A copy with min and max swapped per axis where min > max.
  Box2C normalize() const;
  // The union of the normalized box and rOther (taken as given).
  Box2C combine(const Box2C& rOther) const;
  // The normalized box cut to rOther; disjoint boxes collapse onto rOther's nearest edge.
  Box2C clip(const Box2C& rOther) const;

  Vector2C m_rMin;
  Vector2C m_rMax;
};

#endif
