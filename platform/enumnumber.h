#ifndef PLATFORM_ENUMNUMBER_H
#define PLATFORM_ENUMNUMBER_H

#include <cstdint>
#include <cstring>

// An enumeration field of FFmpeg's as the number it holds, whatever that
// is: decoders pass a file's numbers through, so a field may hold a value
// outside its enumeration, which must not be loaded as the enumeration.
template <typename EnumT>
int32_t plain_number(const EnumT& rField) {
  static_assert(sizeof(EnumT) == sizeof(int32_t), "an enumeration of FFmpeg's is an int");
  int32_t i32Number = 0;
  std::memcpy(&i32Number, &rField, sizeof(i32Number));
  return i32Number;
}

#endif
