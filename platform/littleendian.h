#ifndef PLATFORM_LITTLEENDIAN_H
#define PLATFORM_LITTLEENDIAN_H

#include <cstdint>

// Numbers stored least significant byte first, as RIFF files and bitmap
// headers store them, read and written a byte at a time: whatever the
// alignment of the bytes and the byte order of the machine.

inline uint16_t read_le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline uint32_t read_le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t read_le64(const uint8_t* p) {
  return static_cast<uint64_t>(read_le32(p)) | (static_cast<uint64_t>(read_le32(p + 4)) << 32);
}

inline void write_le32(uint8_t* p, uint32_t ui32Value) {
  for (int32_t i = 0; i < 4; ++i) {
    p[i] = static_cast<uint8_t>(ui32Value >> (8 * i));
  }
}

#endif
