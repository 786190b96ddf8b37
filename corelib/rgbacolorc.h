#ifndef CORELIB_RGBACOLORC_H
#define CORELIB_RGBACOLORC_H

#include <cstdint>

// A colour of four floats, nominally 0 to 1. A plain value: r, g, b, a.
class RgbaColorC {
 public:
  RgbaColorC() = default;
  RgbaColorC(float f32R, float f32G, float f32B, float f32A) : m_f32R(f32R), m_f32G(f32G), m_f32B(f32B), m_f32A(f32A) {}
  // Each byte divided by 255.
  RgbaColorC(uint8_t ui8R, uint8_t ui8G, uint8_t ui8B, uint8_t ui8A);

  bool operator==(const RgbaColorC& rOther) const;
  bool operator!=(const RgbaColorC& rOther) const;

  float m_f32R = 0.0f;
  float m_f32G = 0.0f;
  float m_f32B = 0.0f;
  float m_f32A = 0.0f;
};

#endif
