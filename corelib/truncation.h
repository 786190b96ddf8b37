#ifndef CORELIB_TRUNCATION_H
#define CORELIB_TRUNCATION_H

#include <cmath>
#include <cstdint>
#include <limits>

// A float truncated toward zero to int32. Values from a document can be NaN or
// out of range, where a plain conversion is undefined: NaN gives 0 and values
// beyond the range give its nearest end.
inline int32_t truncate_to_int32(float f32Value) {
  if (std::isnan(f32Value)) {
    return 0;
  }
  // 2^31 is exact in float; every float below it truncates into range.
  constexpr float F32_INT32_LIMIT = 2147483648.0f;
  if (f32Value >= F32_INT32_LIMIT) {
    return std::numeric_limits<int32_t>::max();
  }
  if (f32Value < -F32_INT32_LIMIT) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(f32Value);
}

#endif
