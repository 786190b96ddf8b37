#ifndef FUZZ_FUZZLEADINGNUMBERS_H
#define FUZZ_FUZZLEADINGNUMBERS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// Targets steer a run with the input's first bytes: a count byte, then that
// many signed little-endian numbers of type T. The data and size are moved
// past them to the file under test. False when the input is too short.
template <typename T>
bool take_leading_numbers(const uint8_t*& pData, size_t& uiSize, size_t uiMaxCount,
                          std::vector<int32_t>& rNumbers) {
  if (uiSize < 1) {
    return false;
  }
  const size_t uiCount = pData[0] % (uiMaxCount + 1);
  if (uiSize < 1 + sizeof(T) * uiCount) {
    return false;
  }
  for (size_t i = 0; i < uiCount; ++i) {
    T tValue;
    std::memcpy(&tValue, pData + 1 + sizeof(T) * i, sizeof(T));
    rNumbers.push_back(tValue);
  }
  pData += 1 + sizeof(T) * uiCount;
  uiSize -= 1 + sizeof(T) * uiCount;
  return true;
}

#endif
