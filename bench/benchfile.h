#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// The whole of a media file the benchmarks measure, read into memory as a
// document would hold it.
inline bool read_file(const char* szPath, std::vector<uint8_t>& rBytes) {
  FILE* pFile = std::fopen(szPath, "rb");
  if (pFile == nullptr) {
    return false;
  }
  std::fseek(pFile, 0, SEEK_END);
  const long i64Size = std::ftell(pFile);
  std::fseek(pFile, 0, SEEK_SET);
  rBytes.resize(i64Size > 0 ? static_cast<size_t>(i64Size) : 0);
  const bool bRead = std::fread(rBytes.data(), 1, rBytes.size(), pFile) == rBytes.size();
  std::fclose(pFile);
  return bRead;
}
