#ifndef TESTS_SUPPORT_CHUNKBYTES_H
#define TESTS_SUPPORT_CHUNKBYTES_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "docfile/chunkreaderc.h"

// Builders for documents made by hand, byte by byte, for what the writer
// would never produce: damaged sizes, old versions, cut fields. And the
// reading of a number back, which the tests of both directions share.
using BytesT = std::vector<uint8_t>;

// The value as the document stores it: little-endian, like every host we build for.
template <class T>
BytesT bytes_of(T value) {
  BytesT rBytes(sizeof(T));
  std::memcpy(rBytes.data(), &value, sizeof(T));
  return rBytes;
}

inline BytesT text_bytes(const std::string& rText) { return BytesT(rText.begin(), rText.end()); }

inline BytesT concat(std::initializer_list<BytesT> rParts) {
  BytesT rBytes;
  for (const BytesT& rPart : rParts) {
    rBytes.insert(rBytes.end(), rPart.begin(), rPart.end());
  }
  return rBytes;
}

inline BytesT signature_bytes() { return BytesT(DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE + DOCUMENT_SIGNATURE_LENGTH); }

// A header alone; ui32Size is the stored size, header included, and need not
// match what follows.
inline BytesT chunk_header(uint32_t ui32Id, uint32_t ui32Version, uint32_t ui32Size) {
  return concat({bytes_of(ui32Id), bytes_of(ui32Version), bytes_of(ui32Size)});
}

inline BytesT chunk(uint32_t ui32Id, uint32_t ui32Version, const BytesT& rPayload) {
  uint32_t ui32Size = static_cast<uint32_t>(CHUNK_HEADER_SIZE + rPayload.size());
  return concat({chunk_header(ui32Id, ui32Version, ui32Size), rPayload});
}

// The next number of the open chunk, which the test expects to be there.
inline uint32_t read_u32(ChunkReaderC& rReader) {
  uint32_t ui32Value = 0;
  EXPECT_EQ(rReader.read(&ui32Value, sizeof(ui32Value)), CHUNK_OK);
  return ui32Value;
}

#endif
