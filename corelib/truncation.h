#ifndef CORELIB_TRUNCATION_H
#define CORELIB_TRUNCATION_H

#include <algorithm>
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

// A double truncated toward zero to int32, with the same care: NaN gives 0,
// values beyond the range its nearest end.
inline int32_t truncate_to_int32(double f64Value) {
  if (std::isnan(f64Value)) {
    return 0;
  }
  if (f64Value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  if (f64Value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
    return std::numeric_limits<int32_t>::min();
  }
  return static_cast<int32_t>(f64Value);
}

// A 64-bit result of int32 arithmetic (times moved between parent and child,
// a time minus a start) limited to the int32 range instead of wrapping.
inline int32_t saturate_to_int32(int64_t i64Value) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(i64Value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

#endif
