#include "corelib/rgbacolorc.h"

namespace {

float byte_to_unit(uint8_t ui8Value) {
  return static_cast<float>(ui8Value) / 255.0f;
}

}  // namespace

RgbaColorC::RgbaColorC(uint8_t ui8R, uint8_t ui8G, uint8_t ui8B, uint8_t ui8A)
    : m_f32R(byte_to_unit(ui8R)), m_f32G(byte_to_unit(ui8G)), m_f32B(byte_to_unit(ui8B)), m_f32A(byte_to_unit(ui8A)) {}

bool RgbaColorC::operator==(const RgbaColorC& rOther) const {
  return m_f32R == rOther.m_f32R && m_f32G == rOther.m_f32G && m_f32B == rOther.m_f32B && m_f32A == rOther.m_f32A;
}

bool RgbaColorC::operator!=(const RgbaColorC& rOther) const {
  return !(*this == rOther);
}
